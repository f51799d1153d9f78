#include "document/expat_library.h"

#include <dlfcn.h>

#include "document/loaded_library.h"

namespace pq {

const ExpatLibrary* ExpatLibrary::get() {
    static const ExpatLibrary* const loaded = []() -> const ExpatLibrary* {
        void* library = dlopen(kName, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static ExpatLibrary expat;
        bool complete = true;
        auto bind = [library, &complete](auto& function, const char* name) {
            complete = BindSymbol(library, function, name) && complete;
        };
        bind(expat.parserCreateNS, "XML_ParserCreateNS");
        bind(expat.parserFree, "XML_ParserFree");
        bind(expat.setUserData, "XML_SetUserData");
        bind(expat.setElementHandler, "XML_SetElementHandler");
        bind(expat.setStartDoctypeDeclHandler, "XML_SetStartDoctypeDeclHandler");
        bind(expat.setEntityDeclHandler, "XML_SetEntityDeclHandler");
        bind(expat.setExternalEntityRefHandler, "XML_SetExternalEntityRefHandler");
        bind(expat.setParamEntityParsing, "XML_SetParamEntityParsing");
        bind(expat.parse, "XML_Parse");
        bind(expat.stopParser, "XML_StopParser");
        bind(expat.getErrorCode, "XML_GetErrorCode");
        bind(expat.errorString, "XML_ErrorString");
        bind(expat.getCurrentLineNumber, "XML_GetCurrentLineNumber");
        return complete ? &expat : nullptr;
    }();
    return loaded;
}

} // namespace pq
