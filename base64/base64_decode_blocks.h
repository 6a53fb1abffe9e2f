// Decoding long runs of alphabet characters 32 at a time with the vector unit, where the
// processor has one the codec can use. The group-by-group decoder takes over wherever a
// run stops.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillora::base64::detail {

// Decodes blocks of 32 alphabet characters from `pos` while there are whole blocks
// before `end` and every character of a block is in the alphabet; advances `pos` past
// them and returns the bytes written (24 per block). Returns 0 without moving `pos` when
// the processor lacks the instructions.
std::size_t DecodeBlocks(const char* text, std::size_t& pos, std::size_t end,
                         uint8_t* out) noexcept;
std::size_t DecodeBlocks(const char16_t* text, std::size_t& pos, std::size_t end,
                         uint8_t* out) noexcept;

}  // namespace quillora::base64::detail
