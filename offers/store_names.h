// Names of the offer store file and of its elements.
#pragma once

namespace quillora::store {

inline constexpr const char* kFileName = "Quillora.xml";
inline constexpr const char* kRoot = "ROOT";
inline constexpr const char* kClassifier = "GOODS_CLASSIFIER";
inline constexpr const char* kGood = "GOOD";
inline constexpr const char* kOffer = "OFFER";
inline constexpr const char* kOffers = "OFFERS";
inline constexpr const char* kName = "NM";
inline constexpr const char* kId = "ID";
// The entry's text node is created under this name; text nodes carry no name in the file.
inline constexpr const char* kEntryTextName = "data";

}  // namespace quillora::store
