// Any bytes through the XML parser: it must answer success or a failure
// inside the text, never crash, and leave an empty tree whenever it fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/SciXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kel::TSimploXML xml;
    bool raised = false;
    xml.OnXMLError = [&](kel::TSimploXML&) { raised = true; };
    kel::TXmlParseResult result = xml.LoadFromString(std::string(reinterpret_cast<const char*>(data), size));
    bool ok = result.ok();
    if (ok == raised) std::abort();
    if (!ok && result.offset > size) std::abort();
    if (!ok && (xml.DocumentElement() || xml.TagCount() != 0)) std::abort();
    if (const kel::TElementDocXML* doc = xml.DocumentElement()) {
        (void)doc->ChildInt("nim");
        (void)doc->ChildFloat("p", 0.5);
        (void)doc->ChildText("ion");
        (void)doc->FindChildren("Ion");
    }

    // Under tight limits, a parse that keeps nothing below the elements
    // named "U" fails exactly where and why the whole tree's parse does.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const kel::TXMLLimits limits{200, 64, 5, 8, 14};
    kel::TSimploXML whole, unread;
    whole.Limits = unread.Limits = limits;
    unread.UnreadChildren = [](kel::TXMLOpenElements, const kel::TElementDocXML& e) { return e.Name == "U"; };
    kel::TXmlParseResult a = whole.LoadFromString(text), b = unread.LoadFromString(text);
    if (a.status != b.status || a.offset != b.offset || a.reason != b.reason) std::abort();
    return 0;
}
