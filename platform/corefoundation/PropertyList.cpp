// XML property lists with libxml2: the document is parsed into a tree, then
// the tree is turned into CF objects element by element; writing goes the
// other way through libxml2's text writer.
#include "platform/corefoundation/PropertyList.h"

#include "platform/corefoundation/CFHelpers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <libxml/parser.h>
#include <libxml/xmlwriter.h>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Owned = cf::Owned<CFTypeRef>;

// ---------------------------------------------------------------- reading

std::string_view Name(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The text as it is quoted in an error: on one line and not too long.
std::string Quoted(std::string_view text) {
    constexpr size_t kMaxShown = 40;
    std::string shown(text.substr(0, kMaxShown));
    if (text.size() > kMaxShown) {
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
            shown.pop_back(); // do not cut a UTF-8 character in two
        if (!shown.empty())
            shown.pop_back();
        shown += "...";
    }
    for (char& c : shown) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    return "\"" + shown + "\"";
}

// The bytes of base64 text (whitespace between the characters is allowed).
std::optional<std::vector<UInt8>> DecodeBase64(std::string_view text) {
    std::vector<UInt8> bytes;
    UInt32 group = 0;
    int count = 0;   // characters in the current group of four
    int padding = 0; // '=' characters seen
    for (char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        else if (c == '=') {
            // Padding ends the text: only the third and fourth place may hold it.
            if (count < 2)
                return std::nullopt;
            ++padding;
            value = 0;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        else
            return std::nullopt;
        if (padding > 0 && c != '=')
            return std::nullopt;
        group = group << 6 | static_cast<UInt32>(value);
        if (++count == 4) {
            bytes.push_back(static_cast<UInt8>(group >> 16));
            if (padding < 2)
                bytes.push_back(static_cast<UInt8>(group >> 8));
            if (padding < 1)
                bytes.push_back(static_cast<UInt8>(group));
            group = 0;
            count = 0;
        }
    }
    if (count != 0)
        return std::nullopt;
    return bytes;
}

// Turns the element tree into CF objects; on the first fault it stops and
// keeps the message.
class TreeReader {
  public:
    CFPropertyListRef ReadDocument(xmlNode* root) {
        if (Name(root) != "plist")
            return Fail(root, "the document is a <" + std::string(Name(root)) + ">, not a <plist>");
        if (!CheckNoText(root))
            return nullptr;
        xmlNode* value = nullptr;
        for (xmlNode* child = root->children; child != nullptr; child = child->next) {
            if (child->type != XML_ELEMENT_NODE)
                continue;
            if (value != nullptr)
                return Fail(child, "<plist> holds more than one value");
            value = child;
        }
        if (value == nullptr)
            return Fail(root, "<plist> holds no value");
        return Read(value);
    }

    const std::string& error() const { return error_; }

  private:
    CFPropertyListRef Fail(const xmlNode* node, const std::string& what) {
        error_ = "line " + std::to_string(xmlGetLineNo(node)) + ": " + what;
        return nullptr;
    }

    // The line where the visible part of a text node starts. The parser gives
    // a text node the line where it stopped reading it, so the line breaks
    // after the first visible character are counted back.
    static long TextLine(const xmlNode* node, std::string_view text) {
        std::string_view rest = text.substr(text.find_first_not_of(" \t\r\n"));
        long line = xmlGetLineNo(node) - std::count(rest.begin(), rest.end(), '\n');
        return std::max(line, xmlGetLineNo(node->parent));
    }

    // A container holds elements, comments and blank text only.
    bool CheckNoText(xmlNode* node) {
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE)
                continue;
            std::string_view text = reinterpret_cast<const char*>(child->content);
            if (!IsBlank(text)) {
                error_ = "line " + std::to_string(TextLine(child, text)) + ": <" +
                         std::string(Name(node)) + "> holds the text " + Quoted(Trimmed(text)) +
                         " outside any element";
                return false;
            }
        }
        return true;
    }

    // The text of an element that must not hold other elements.
    std::optional<std::string> LeafText(xmlNode* node) {
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) {
                Fail(child, "<" + std::string(Name(node)) + "> holds an element <" +
                                std::string(Name(child)) + ">");
                return std::nullopt;
            }
        }
        xmlChar* content = xmlNodeGetContent(node);
        std::string text = content == nullptr ? "" : reinterpret_cast<const char*>(content);
        xmlFree(content);
        return text;
    }

    CFPropertyListRef Read(xmlNode* node) {
        std::string_view name = Name(node);
        if (name == "dict")
            return ReadDictionary(node);
        if (name == "array")
            return ReadArray(node);
        if (name == "true" || name == "false")
            return ReadBoolean(node, name == "true");
        if (name == "key")
            return Fail(node, "<key> outside a <dict>");
        if (name != "string" && name != "data" && name != "integer" && name != "real")
            return Fail(node, "unknown element <" + std::string(name) + ">");
        auto text = LeafText(node);
        if (!text)
            return nullptr;
        if (name == "string")
            return cf::CreateString(*text);
        if (name == "data")
            return ReadData(node, *text);
        if (name == "integer")
            return ReadInteger(node, *text);
        return ReadReal(node, *text);
    }

    CFPropertyListRef ReadDictionary(xmlNode* node) {
        if (!CheckNoText(node))
            return nullptr;
        cf::Owned<CFMutableDictionaryRef> dict(
            CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                      &kCFTypeDictionaryValueCallBacks));
        xmlNode* child = xmlFirstElementChild(node);
        while (child != nullptr) {
            if (Name(child) != "key")
                return Fail(child, "<dict> holds <" + std::string(Name(child)) +
                                       "> where a <key> is expected");
            auto keyText = LeafText(child);
            if (!keyText)
                return nullptr;
            xmlNode* valueNode = xmlNextElementSibling(child);
            if (valueNode == nullptr || Name(valueNode) == "key")
                return Fail(child, "<key> " + Quoted(*keyText) + " has no value");
            cf::Owned<CFStringRef> key(cf::CreateString(*keyText));
            if (CFDictionaryGetValue(dict.get(), key.get()) != nullptr)
                return Fail(child, "<key> " + Quoted(*keyText) + " appears twice in the <dict>");
            Owned value(Read(valueNode));
            if (!value)
                return nullptr;
            CFDictionarySetValue(dict.get(), key.get(), value.get());
            child = xmlNextElementSibling(valueNode);
        }
        return dict.release();
    }

    CFPropertyListRef ReadArray(xmlNode* node) {
        if (!CheckNoText(node))
            return nullptr;
        cf::Owned<CFMutableArrayRef> array(
            CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
        for (xmlNode* child = xmlFirstElementChild(node); child != nullptr;
             child = xmlNextElementSibling(child)) {
            Owned value(Read(child));
            if (!value)
                return nullptr;
            CFArrayAppendValue(array.get(), value.get());
        }
        return array.release();
    }

    CFPropertyListRef ReadBoolean(xmlNode* node, bool value) {
        auto text = LeafText(node);
        if (!text)
            return nullptr;
        if (!IsBlank(*text))
            return Fail(node, "<" + std::string(Name(node)) + "/> holds the text " +
                                  Quoted(Trimmed(*text)));
        return value ? kCFBooleanTrue : kCFBooleanFalse;
    }

    CFPropertyListRef ReadData(xmlNode* node, const std::string& text) {
        auto bytes = DecodeBase64(text);
        if (!bytes)
            return Fail(node, "<data> holds " + Quoted(Trimmed(text)) + ", which is not base64");
        return CFDataCreate(kCFAllocatorDefault, bytes->data(),
                            static_cast<CFIndex>(bytes->size()));
    }

    CFPropertyListRef ReadInteger(xmlNode* node, const std::string& text) {
        int bits = 64;
        std::string element = "<integer>";
        if (xmlChar* size = xmlGetProp(node, BAD_CAST "size")) {
            std::string sizeText = reinterpret_cast<const char*>(size);
            xmlFree(size);
            if (sizeText == "8" || sizeText == "16" || sizeText == "32" || sizeText == "64")
                bits = std::stoi(sizeText);
            else
                return Fail(node, "<integer> has size " + Quoted(sizeText) +
                                      "; the size must be 8, 16, 32 or 64");
            element = "<integer size=\"" + sizeText + "\">";
        }

        std::string_view digits = Trimmed(text);
        bool negative = digits.starts_with('-');
        if (negative)
            digits.remove_prefix(1);
        int base = 10;
        if (!negative && (digits.starts_with("0x") || digits.starts_with("0X"))) {
            digits.remove_prefix(2);
            base = 16;
        }
        UInt64 magnitude = 0;
        auto [end, fault] =
            std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
        if (digits.empty() || end != digits.data() + digits.size() ||
            (fault != std::errc() && fault != std::errc::result_out_of_range))
            return Fail(node,
                        element + " holds " + Quoted(Trimmed(text)) + ", which is not a number");

        // Positive values may use the whole width (the top bit then stands
        // for the two's-complement value); negative ones reach -2^(bits-1).
        UInt64 widthMax = bits == 64 ? UINT64_MAX : (UInt64{1} << bits) - 1;
        UInt64 limit = negative ? UInt64{1} << (bits - 1) : widthMax;
        if (fault == std::errc::result_out_of_range || magnitude > limit)
            return Fail(node, element + " holds " + Quoted(Trimmed(text)) +
                                  ", which is out of range for " + std::to_string(bits) + " bits");
        UInt64 pattern = negative ? UInt64{0} - magnitude : magnitude;
        switch (bits) {
        case 8: {
            auto value = static_cast<SInt8>(pattern);
            return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt8Type, &value);
        }
        case 16: {
            auto value = static_cast<SInt16>(pattern);
            return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt16Type, &value);
        }
        case 32: {
            auto value = static_cast<SInt32>(pattern);
            return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
        }
        default: {
            auto value = static_cast<SInt64>(pattern);
            return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &value);
        }
        }
    }

    CFPropertyListRef ReadReal(xmlNode* node, const std::string& text) {
        std::string_view digits = Trimmed(text);
        // from_chars takes no '+'; "+infinity" is how infinities are written.
        if (digits.starts_with('+') && !digits.substr(1).starts_with('-'))
            digits.remove_prefix(1);
        Float64 value = 0;
        auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || end != digits.data() + digits.size() || fault != std::errc())
            return Fail(node, "<real> holds " + Quoted(Trimmed(text)) + ", which is not a number");
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberFloat64Type, &value);
    }

    std::string error_;
};

struct FirstFault {
    int line = 1;
    std::string message;
};

// Structured error handler of the parser: keeps the first error.
void KeepFirstFault(void* userData, xmlError* fault) {
    auto* first = static_cast<FirstFault*>(static_cast<xmlParserCtxt*>(userData)->_private);
    if (fault->level < XML_ERR_ERROR || !first->message.empty())
        return;
    first->message = fault->message != nullptr ? fault->message : "cannot be parsed";
    while (!first->message.empty() &&
           (first->message.back() == '\n' || first->message.back() == ' '))
        first->message.pop_back();
    if (fault->line > 0)
        first->line = fault->line;
}

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ParserDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

void Report(std::string* error, std::string message) {
    if (error != nullptr)
        *error = std::move(message);
}

// The whole content of a file, or nothing with *fault set to the errno.
std::optional<std::string> ReadWholeFile(const char* path, int* fault) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *fault = errno;
        return std::nullopt;
    }
    std::string text;
    std::array<char, 65536> chunk;
    size_t count;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file)) > 0)
        text.append(chunk.data(), count);
    bool failed = std::ferror(file) != 0;
    *fault = errno;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return text;
}

// ---------------------------------------------------------------- writing

std::string TypeName(CFTypeRef value) {
    CFTypeID type = CFGetTypeID(value);
    if (value == nullptr)
        return "a null value";
    if (type == CFStringGetTypeID())
        return "a string";
    if (type == CFNumberGetTypeID())
        return "a number";
    if (type == CFDataGetTypeID())
        return "a data object";
    if (type == CFBooleanGetTypeID())
        return "a boolean";
    if (type == CFDictionaryGetTypeID())
        return "a dictionary";
    if (type == CFArrayGetTypeID())
        return "an array";
    if (type == CFURLGetTypeID())
        return "a URL";
    if (type == CFBundleGetTypeID())
        return "a bundle";
    return "an object of unknown type";
}

// XML 1.0 carries no control characters other than tab, line feed and return.
bool XMLCanCarry(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    }
    return true;
}

constexpr char kDocumentType[] = "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                 "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

class TreeWriter {
  public:
    explicit TreeWriter(xmlTextWriter* writer) : writer_(writer) {}

    bool Write(CFTypeRef value) {
        CFTypeID type = CFGetTypeID(value);
        if (type == CFStringGetTypeID())
            return WriteString("string", cf::ToUTF8(static_cast<CFStringRef>(value)));
        if (type == CFNumberGetTypeID())
            return WriteNumber(static_cast<CFNumberRef>(value));
        if (type == CFBooleanGetTypeID())
            return WriteEmptyElement(CFBooleanGetValue(static_cast<CFBooleanRef>(value)) ? "true"
                                                                                         : "false");
        if (type == CFDataGetTypeID())
            return WriteData(static_cast<CFDataRef>(value));
        if (type == CFDictionaryGetTypeID())
            return WriteDictionary(static_cast<CFDictionaryRef>(value));
        if (type == CFArrayGetTypeID())
            return WriteArray(static_cast<CFArrayRef>(value));
        return Fail(TypeName(value) + " cannot be written in a property list");
    }

    bool Ok(int result) {
        if (result < 0 && error_.empty())
            error_ = "the XML writer failed";
        return result >= 0;
    }

    const std::string& error() const { return error_; }

  private:
    bool Fail(std::string what) {
        error_ = std::move(what);
        return false;
    }

    bool WriteEmptyElement(const char* element) {
        return Ok(xmlTextWriterStartElement(writer_, BAD_CAST element)) &&
               Ok(xmlTextWriterEndElement(writer_));
    }

    bool WriteString(const char* element, const std::string& text) {
        if (!XMLCanCarry(text))
            return Fail("the string " + Quoted(text) +
                        " holds a control character that XML cannot carry");
        return Ok(xmlTextWriterWriteElement(writer_, BAD_CAST element, BAD_CAST text.c_str()));
    }

    bool WriteNumber(CFNumberRef number) {
        std::array<char, 32> text{};
        if (CFNumberIsFloatType(number)) {
            Float64 value = 0;
            CFNumberGetValue(number, kCFNumberFloat64Type, &value);
            std::to_chars(text.data(), text.data() + text.size() - 1, value);
            return Ok(xmlTextWriterWriteElement(writer_, BAD_CAST "real", BAD_CAST text.data()));
        }
        SInt64 value = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &value);
        std::to_chars(text.data(), text.data() + text.size() - 1, value);
        if (!Ok(xmlTextWriterStartElement(writer_, BAD_CAST "integer")))
            return false;
        CFIndex bits = CFNumberGetByteSize(number) * 8;
        if (bits < 64 && !Ok(xmlTextWriterWriteAttribute(writer_, BAD_CAST "size",
                                                         BAD_CAST std::to_string(bits).c_str())))
            return false;
        return Ok(xmlTextWriterWriteString(writer_, BAD_CAST text.data())) &&
               Ok(xmlTextWriterEndElement(writer_));
    }

    bool WriteData(CFDataRef data) {
        auto length = CFDataGetLength(data);
        if (length > INT_MAX)
            return Fail("a data object of " + std::to_string(length) + " bytes is too long");
        // The base64 writer takes no empty run of bytes: empty data is <data/>.
        return Ok(xmlTextWriterStartElement(writer_, BAD_CAST "data")) &&
               (length == 0 || Ok(xmlTextWriterWriteBase64(
                                   writer_, reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                                   0, static_cast<int>(length)))) &&
               Ok(xmlTextWriterEndElement(writer_));
    }

    bool WriteDictionary(CFDictionaryRef dict) {
        auto count = static_cast<size_t>(CFDictionaryGetCount(dict));
        std::vector<const void*> keys(count), values(count);
        CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
        if (!Ok(xmlTextWriterStartElement(writer_, BAD_CAST "dict")))
            return false;
        for (size_t i = 0; i < count; ++i) {
            if (CFGetTypeID(keys[i]) != CFStringGetTypeID())
                return Fail("a dictionary key is " + TypeName(keys[i]) + ", not a string");
            if (!WriteString("key", cf::ToUTF8(static_cast<CFStringRef>(keys[i]))) ||
                !Write(values[i]))
                return false;
        }
        return Ok(xmlTextWriterEndElement(writer_));
    }

    bool WriteArray(CFArrayRef array) {
        if (!Ok(xmlTextWriterStartElement(writer_, BAD_CAST "array")))
            return false;
        for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
            if (!Write(CFArrayGetValueAtIndex(array, i)))
                return false;
        }
        return Ok(xmlTextWriterEndElement(writer_));
    }

    xmlTextWriter* writer_;
    std::string error_;
};

} // namespace

CFPropertyListRef CreatePropertyListFromXMLData(std::string_view xml, std::string* error) {
    if (xml.size() > INT_MAX) {
        Report(error, "line 1: the document is too large");
        return nullptr;
    }
    std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
    if (!parser) {
        Report(error, "line 1: out of memory");
        return nullptr;
    }
    // The parser goes on after the first fault and reports what follows from
    // it; the first fault is the one that says what is wrong.
    FirstFault first;
    parser->_private = &first;
    parser->sax->serror = KeepFirstFault;
    // No network, no messages on the console, line numbers beyond 65535.
    constexpr int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(xmlCtxtReadMemory(
        parser.get(), xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, options));
    if (!doc || !parser->wellFormed) {
        std::string message = first.message.empty() ? "cannot be parsed" : first.message;
        Report(error, "line " + std::to_string(first.line) + ": malformed XML: " + message);
        return nullptr;
    }
    TreeReader reader;
    CFPropertyListRef plist = reader.ReadDocument(xmlDocGetRootElement(doc.get()));
    if (plist == nullptr) {
        Report(error, reader.error());
        return nullptr;
    }
    return plist;
}

CFPropertyListRef CreatePropertyListFromXMLFile(const char* path, std::string* error) {
    int fault = 0;
    auto xml = ReadWholeFile(path, &fault);
    if (!xml) {
        Report(error, std::string(path) + ": cannot be read: " + std::strerror(fault));
        return nullptr;
    }
    std::string message;
    CFPropertyListRef plist = CreatePropertyListFromXMLData(*xml, &message);
    if (plist == nullptr) {
        Report(error, std::string(path) + ": " + message);
        return nullptr;
    }
    return plist;
}

bool WritePropertyListToXMLData(CFPropertyListRef plist, std::string* xml, std::string* error) {
    std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buffer(xmlBufferCreate(), xmlBufferFree);
    if (!buffer) {
        Report(error, "out of memory");
        return false;
    }
    std::unique_ptr<xmlTextWriter, void (*)(xmlTextWriter*)> writer(
        xmlNewTextWriterMemory(buffer.get(), 0), xmlFreeTextWriter);
    if (!writer) {
        Report(error, "out of memory");
        return false;
    }
    TreeWriter tree(writer.get());
    bool written =
        tree.Ok(xmlTextWriterSetIndent(writer.get(), 1)) &&
        tree.Ok(xmlTextWriterSetIndentString(writer.get(), BAD_CAST "\t")) &&
        tree.Ok(xmlTextWriterStartDocument(writer.get(), "1.0", "UTF-8", nullptr)) &&
        tree.Ok(xmlTextWriterWriteRaw(writer.get(), BAD_CAST kDocumentType)) &&
        tree.Ok(xmlTextWriterStartElement(writer.get(), BAD_CAST "plist")) &&
        tree.Ok(xmlTextWriterWriteAttribute(writer.get(), BAD_CAST "version", BAD_CAST "1.0")) &&
        tree.Write(plist) && tree.Ok(xmlTextWriterEndDocument(writer.get()));
    if (!written) {
        Report(error, tree.error());
        return false;
    }
    writer.reset(); // flushes into the buffer
    if (xml != nullptr)
        xml->assign(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                    static_cast<size_t>(xmlBufferLength(buffer.get())));
    return true;
}

bool WritePropertyListToXMLFile(CFPropertyListRef plist, const char* path, std::string* error) {
    std::string xml;
    if (!WritePropertyListToXMLData(plist, &xml, error))
        return false;
    std::string temporary = std::string(path) + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        Report(error, std::string(path) + ": cannot be written: " + std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(xml.data(), 1, xml.size(), file) == xml.size();
    int fault = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        fault = errno;
    }
    if (ok && std::rename(temporary.c_str(), path) != 0) {
        ok = false;
        fault = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        Report(error, std::string(path) + ": cannot be written: " + std::strerror(fault));
        return false;
    }
    return true;
}
