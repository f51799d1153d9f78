#pragma once

#include <expat.h>

namespace pq {

// The XML parser of the exchange rates documents. It is loaded the first
// time such a document is read, so that a program that never reads one
// (pqtool looking up a unit, say) starts without it.
struct ExpatLibrary {
    static constexpr const char* kName = "libexpat.so.1";

    decltype(&XML_ParserCreateNS) parserCreateNS = nullptr;
    decltype(&XML_ParserFree) parserFree = nullptr;
    decltype(&XML_SetUserData) setUserData = nullptr;
    decltype(&XML_SetElementHandler) setElementHandler = nullptr;
    decltype(&XML_SetStartDoctypeDeclHandler) setStartDoctypeDeclHandler = nullptr;
    decltype(&XML_SetEntityDeclHandler) setEntityDeclHandler = nullptr;
    decltype(&XML_SetExternalEntityRefHandler) setExternalEntityRefHandler = nullptr;
    decltype(&XML_SetParamEntityParsing) setParamEntityParsing = nullptr;
    decltype(&XML_Parse) parse = nullptr;
    decltype(&XML_StopParser) stopParser = nullptr;
    decltype(&XML_GetErrorCode) getErrorCode = nullptr;
    decltype(&XML_ErrorString) errorString = nullptr;
    decltype(&XML_GetCurrentLineNumber) getCurrentLineNumber = nullptr;

    // The library, or null when it cannot be loaded.
    static const ExpatLibrary* get();
};

} // namespace pq
