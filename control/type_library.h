// The fixed identifiers, names and texts of the control library: what registration
// writes and what hosts create the control by. None of these values may ever change.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dispatch.h"

namespace quillora::typelib {

using platform::GUID;

// The control class.
inline constexpr GUID CLSID_Quillora = {
    0xA5AC72CB, 0xED6E, 0x4FCA, {0x94, 0x78, 0xE0, 0xD3, 0x13, 0xF5, 0xE6, 0xFF}};
// The dispatch interface _DQuillora.
inline constexpr GUID DIID_DQuillora = {
    0x3BDDC143, 0x3229, 0x4813, {0xA2, 0x4A, 0xD5, 0x33, 0xB3, 0xDB, 0x32, 0x97}};
// The event interface _DQuilloraEvents (no members).
inline constexpr GUID DIID_DQuilloraEvents = {
    0x921B7EA0, 0x13A8, 0x45B9, {0x90, 0xA8, 0xA0, 0x81, 0x22, 0x7E, 0xD7, 0x06}};
// The type library QUILLORALib.
inline constexpr GUID LIBID_QUILLORALib = {
    0xB23F242D, 0x2DE4, 0x4A30, {0x94, 0x55, 0xB9, 0x4A, 0x44, 0xCF, 0x07, 0x37}};
// The property page class.
inline constexpr GUID CLSID_QuilloraPropPage = {
    0xF4585FB2, 0xC023, 0x467F, {0xAF, 0xF2, 0x96, 0x21, 0xCC, 0x51, 0xC7, 0x5D}};

inline constexpr char kControlProgId[] = "Velt.Quillora.1";
inline constexpr char kPropPageProgId[] = "Velt.QuilloraPropPage.1";
inline constexpr char kLibraryName[] = "QUILLORALib";
inline constexpr char kLibraryVersion[] = "1.0";
inline constexpr char kLibraryHelpString[] = "Velt Quillora ActiveX Control module";
inline constexpr char kLibraryHelpFile[] = "Quillora.hlp";
inline constexpr uint32_t kLocale = 0x409;
inline constexpr uint32_t kMiscStatus = 0x30491;
inline constexpr char kThreadingModel[] = "Apartment";

// String resources.
inline constexpr char kTypeNameControl[] = "Quillora Control";         // 1
inline constexpr char kTypeNamePropPage[] = "Quillora Property Page";  // 2
inline constexpr char kPropPageCaption[] = "General";                  // 200
inline constexpr char kAboutText[] =                                   // 201
    "Velt Quillora ActiveX Control.\r\nVersion 1.0 Build 03062002";
inline constexpr char kCryptoInfo[] = "Cryptographic info: Not Available";     // 202
inline constexpr char kLoadFailed[] = "Unable to load and parse file: '%s'.";  // 203
inline constexpr char kErrorCaption[] = "Quillora Error";                      // 204
inline constexpr char kCaption[] = "Quillora";                                 // 205

// Version facts.
inline constexpr char kFileVersion[] = "1, 0, 0, 1";
inline constexpr char kFileDescription[] = "Quillora ActiveX Control Module";
inline constexpr char kInternalName[] = "Quillora";
inline constexpr char kOriginalFilename[] = "Quillora.OCX";

// The members of _DQuillora with their fixed dispatch identifiers.
enum DispId : int32_t {
  kDestLocation = 1,
  kParseError = 2,
  kMakeEncProposal = 3,
  kLastError = 4,
  kMakePreSignSeq = 5,
  kManage = 6,
};

struct Member {
  const char16_t* name;
  int32_t dispId;
};

inline constexpr std::array<Member, 6> kMembers = {{
    {u"DestLocation", kDestLocation},
    {u"parseError", kParseError},
    {u"MakeEncProposal", kMakeEncProposal},
    {u"LastError", kLastError},
    {u"MakePreSignSeq", kMakePreSignSeq},
    {u"Manage", kManage},
}};

}  // namespace quillora::typelib
