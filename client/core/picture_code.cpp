#include "client/core/picture_code.h"

#include "poker/cards.h"

namespace client {

namespace {

// Rank suffix by card value: the deuce is value 0, the ace value 12.
constexpr const char* kRank[poker::kValuesPerSuit] = {"2", "3",  "4", "5", "6", "7", "8",
                                                      "9", "10", "J", "Q", "K", "1"};
constexpr char kSuit[4] = {'C', 'D', 'H', 'S'};
constexpr const char* kRankName[poker::kValuesPerSuit] = {
    "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten", "Jack", "Queen", "King", "Ace"};
constexpr const char* kSuitName[4] = {"clubs", "diamonds", "hearts", "spades"};

}  // namespace

std::optional<std::string> holderName(std::int16_t CardNo) {
    if (poker::isCardCode(CardNo))
        return std::string(1, kSuit[poker::cardSuit(CardNo)]) + kRank[poker::cardValue(CardNo)];
    switch (CardNo) {
        case kPictureBlackJoker: return "JB";
        case kPictureRedJoker: return "JR";
        case kPictureBack: return "back";
        case kPictureEmpty: return "";
        default: return std::nullopt;
    }
}

std::string spokenName(std::int16_t CardNo) {
    if (poker::isCardCode(CardNo))
        return std::string(kRankName[poker::cardValue(CardNo)]) + " of " + kSuitName[poker::cardSuit(CardNo)];
    switch (CardNo) {
        case kPictureBlackJoker: return "Black joker";
        case kPictureRedJoker: return "Red joker";
        case kPictureBack: return "Card back";
        case kPictureEmpty: return "Empty";
        default: return "No card";
    }
}

const std::array<std::string, 55>& pictureHolders() {
    static const std::array<std::string, 55> holders = [] {
        std::array<std::string, 55> names;
        for (std::int16_t code = 0; code < poker::kDeckSize; ++code) names[code] = *holderName(code);
        names[52] = *holderName(kPictureBlackJoker);
        names[53] = *holderName(kPictureRedJoker);
        names[54] = *holderName(kPictureBack);
        return names;
    }();
    return holders;
}

}  // namespace client
