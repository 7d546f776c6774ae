#include "platform/XmlElements.h"
#include "platform/win32/Wide.h"

#include <shlwapi.h>
#include <windows.h>
#include <xmllite.h>

namespace quill::platform {

namespace {

// mingw-w64 has the header but no import library: the system's DLL is asked by name.
using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

template <typename Interface> struct Released {
    Interface* pointer = nullptr;
    ~Released() {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }
};

CreateXmlReaderFunction createXmlReader() {
    static const CreateXmlReaderFunction function = [] {
        // From System32 only: a DLL of that name beside the program (say, in Downloads) is not
        // ours to run.
        const HMODULE library =
            LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return library == nullptr
                   ? nullptr
                   : reinterpret_cast<CreateXmlReaderFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")));
    }();
    return function;
}

std::string text(HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(const WCHAR**, UINT*),
                 IXmlReader& reader) {
    const WCHAR* value = nullptr;
    UINT length = 0;
    if (FAILED((reader.*get)(&value, &length)) || value == nullptr) {
        return {};
    }
    return win32::narrow(std::wstring_view(value, length));
}

bool readElement(IXmlReader& reader, std::vector<XmlElement>& elements) {
    UINT depth = 0;
    if (FAILED(reader.GetDepth(&depth))) {
        return false;
    }
    XmlElement element{static_cast<int>(depth), text(&IXmlReader::GetQualifiedName, reader), {}};
    for (HRESULT more = reader.MoveToFirstAttribute(); more == S_OK;
         more = reader.MoveToNextAttribute()) {
        element.attributes.push_back(
            {text(&IXmlReader::GetQualifiedName, reader), text(&IXmlReader::GetValue, reader)});
    }
    // The depth of an attribute is its element's plus one; the next read starts from the element.
    reader.MoveToElement();
    elements.push_back(std::move(element));
    return true;
}

} // namespace

std::optional<std::vector<XmlElement>> readXmlElements(std::string_view document) {
    const CreateXmlReaderFunction create = createXmlReader();
    if (create == nullptr) {
        return std::nullopt;
    }
    Released<IXmlReader> reader;
    if (FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader.pointer), nullptr))) {
        return std::nullopt;
    }
    Released<IStream> stream{SHCreateMemStream(reinterpret_cast<const BYTE*>(document.data()),
                                               static_cast<UINT>(document.size()))};
    if (stream.pointer == nullptr ||
        FAILED(
            reader.pointer->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
        FAILED(reader.pointer->SetInput(stream.pointer))) {
        return std::nullopt;
    }
    std::vector<XmlElement> elements;
    XmlNodeType type = XmlNodeType_None;
    HRESULT result = S_OK;
    while ((result = reader.pointer->Read(&type)) == S_OK) {
        if (type == XmlNodeType_Element && !readElement(*reader.pointer, elements)) {
            return std::nullopt;
        }
    }
    // S_FALSE is the end of a well-formed document; anything else an error in it. (Wine's reader
    // also ends so on a document whose root element is never closed.)
    if (result != S_FALSE || elements.empty()) {
        return std::nullopt;
    }
    return elements;
}

} // namespace quill::platform
