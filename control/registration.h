// Registration of the control library with the registry of components: the type library,
// the control class under its ProgID, and the property page class. Registration also
// provides an empty offer store beside the library when there is none.
#pragma once

#include <string>

#include "platform/com_types.h"

namespace quillora {

// `libraryPath` is the absolute path written as the classes' in-process server.
platform::HRESULT RegisterServer(const std::string& libraryPath);
platform::HRESULT UnregisterServer();

// Creates "Quillora.xml" in `moduleDir` (ending with "/") with an empty classifier and an
// empty offer list, unless the file exists. False when it cannot be written.
bool ProvideOfferStore(const std::string& moduleDir);

}  // namespace quillora
