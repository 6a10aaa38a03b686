#pragma once
// The player's own five cards as they stand on the table, with the marks of
// the cards chosen for the exchange. Classification is the server's own
// (poker::HandEvaluator), so both programs name a hand the same way.

#include <array>
#include <cstdint>
#include <string>

#include "client/core/ports.h"
#include "poker/hand_evaluator.h"

namespace client {

class clsHand {
public:
    // The view and the sound must outlive the hand.
    clsHand(IHandView& view, ISound& sound);

    // Every member taking a position accepts 0..4 only and throws
    // std::out_of_range before anything changes.
    void DrawCard(std::int16_t PosNo);
    void DrawHand();
    void ClearHand();
    void PutCard(std::int16_t PosNo, std::int16_t CardNo);
    bool& CardHidden(std::int16_t PosNo);
    bool CardHidden(std::int16_t PosNo) const;
    std::int16_t& Card(std::int16_t PosNo);
    std::int16_t Card(std::int16_t PosNo) const;
    std::int16_t HandValue(std::int16_t PosNo) const;
    std::int16_t HandSuit(std::int16_t PosNo) const;
    static std::string CharValue(std::int16_t val);
    // Classifies the five cards and hands the hand's name to ShowStatus.
    void Check_Hand();

private:
    IHandView& view_;
    ISound& sound_;
    // m_Card lives in the evaluator, so classification reads exactly the
    // codes the slots show.
    poker::HandEvaluator evaluator_;
    std::array<bool, 5> m_CardHidden{};
};

}  // namespace client
