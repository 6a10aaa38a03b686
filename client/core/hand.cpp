#include "client/core/hand.h"

#include <stdexcept>

#include "client/core/picture_code.h"
#include "poker/cards.h"

namespace client {

void IHandView::DrawMarkedCard(std::int16_t PosNo, std::int16_t) { DrawCard(PosNo, kPictureEmpty); }

namespace {

std::size_t checkedPosition(std::int16_t PosNo) {
    if (PosNo < 0 || PosNo > 4) throw std::out_of_range("card position must be 0..4");
    return static_cast<std::size_t>(PosNo);
}

}  // namespace

clsHand::clsHand(IHandView& view, ISound& sound) : view_(view), sound_(sound) {}

void clsHand::DrawCard(std::int16_t PosNo) {
    const auto p = checkedPosition(PosNo);
    if (m_CardHidden[p])
        view_.DrawMarkedCard(PosNo, evaluator_.card(PosNo));
    else
        view_.DrawCard(PosNo, evaluator_.card(PosNo));
}

void clsHand::DrawHand() {
    for (std::int16_t p = 0; p < 5; ++p) DrawCard(p);
}

void clsHand::ClearHand() {
    for (std::int16_t p = 0; p < 5; ++p) {
        evaluator_.card(p) = kPictureEmpty;
        m_CardHidden[p] = false;
        DrawCard(p);
    }
}

void clsHand::PutCard(std::int16_t PosNo, std::int16_t CardNo) {
    const auto p = checkedPosition(PosNo);
    if (evaluator_.card(PosNo) == CardNo) return;
    // State first, then the drawing that lets other handlers run: they see
    // the slot as it is drawn.
    evaluator_.card(PosNo) = CardNo;
    m_CardHidden[p] = false;
    DrawCard(PosNo);
    sound_.PlayWav("cardd");
}

bool& clsHand::CardHidden(std::int16_t PosNo) { return m_CardHidden[checkedPosition(PosNo)]; }
bool clsHand::CardHidden(std::int16_t PosNo) const { return m_CardHidden[checkedPosition(PosNo)]; }

std::int16_t& clsHand::Card(std::int16_t PosNo) { return evaluator_.card(PosNo); }
std::int16_t clsHand::Card(std::int16_t PosNo) const {
    return static_cast<const poker::HandEvaluator&>(evaluator_).card(PosNo);
}

std::int16_t clsHand::HandValue(std::int16_t PosNo) const { return evaluator_.HandValue(PosNo); }
std::int16_t clsHand::HandSuit(std::int16_t PosNo) const { return evaluator_.HandSuit(PosNo); }
std::string clsHand::CharValue(std::int16_t val) { return poker::HandEvaluator::CharValue(val); }

void clsHand::Check_Hand() {
    // Only five real cards make a hand; a slot that is empty (or holds a code
    // no deal produces) has no name, and the evaluator must not see it.
    for (std::int16_t p = 0; p < 5; ++p)
        if (!poker::isCardCode(Card(p))) return;
    evaluator_.classify();
    view_.ShowStatus(evaluator_.Name());
}

}  // namespace client
