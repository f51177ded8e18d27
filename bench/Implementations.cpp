#include "bench/Implementations.h"

#include "core/qelXMLParser2.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pugixml.hpp>

#include <exception>

namespace brindle::bench {

namespace {

// This engine: the document object is the outermost element of its tree. The
// classic reading writes with the writer, the standard one saves losslessly.
class TBrindle final : public TImplementation {
public:
    explicit TBrindle(TqelXMLReading reading) : FReading(reading) {}
    std::string_view Name() const override
    {
        return FReading == TqelXMLReading::Standard ? "brindle-standard" : "brindle";
    }

    bool Parse(std::string_view text, bool /*deep*/) override
    {
        FDocument = std::make_unique<TqelXMLParser2>();
        FDocument->LoadFromText(std::string(text), FReading);
        return Succeeded();
    }

    bool LoadFile(const std::string& fileName) override
    {
        FDocument = std::make_unique<TqelXMLParser2>();
        try {
            FDocument->LoadFromFile(fileName, FReading);
        } catch (const std::exception& error) {
            FError = error.what();
            return false;
        }
        return Succeeded();
    }

    void Release() override { FDocument.reset(); }

    // The engine's written form is fixed: always indented.
    std::size_t Write(bool /*indented*/, std::string* copy) override
    {
        std::string text;
        FDocument->GetXMLText(text);
        if (copy != nullptr) *copy = text;
        return text.size();
    }

    TTreeCounts Count() const override
    {
        TTreeCounts counts;
        std::vector<const TqelXMLNode2*> pending{FDocument.get()};
        while (!pending.empty()) {
            const TqelXMLNode2* node = pending.back();
            pending.pop_back();
            ++counts.Elements;
            counts.Attributes += static_cast<std::size_t>(node->Attributes.Count());
            for (const auto& child : node->Children) pending.push_back(child.get());
        }
        return counts;
    }

private:
    bool Succeeded()
    {
        FError = FDocument->LastError;
        return FError.empty();
    }

    TqelXMLReading FReading;
    std::unique_ptr<TqelXMLParser2> FDocument;  // owned
};

// pugixml with its default parse flags.
class TPugixml final : public TImplementation {
public:
    std::string_view Name() const override { return "pugixml"; }

    bool Parse(std::string_view text, bool /*deep*/) override
    {
        FDocument = std::make_unique<pugi::xml_document>();
        return Succeeded(FDocument->load_buffer(text.data(), text.size()));
    }

    bool LoadFile(const std::string& fileName) override
    {
        FDocument = std::make_unique<pugi::xml_document>();
        return Succeeded(FDocument->load_file(fileName.c_str()));
    }

    void Release() override { FDocument.reset(); }

    // Indented by two spaces, as this engine and libxml2 indent.
    std::size_t Write(bool indented, std::string* copy) override
    {
        TStringWriter writer;
        FDocument->save(writer, "  ", indented ? pugi::format_indent : pugi::format_raw);
        if (copy != nullptr) *copy = writer.Text;
        return writer.Text.size();
    }

    TTreeCounts Count() const override
    {
        TTreeCounts counts;
        pugi::xml_node node = FDocument->first_child();
        while (node) {
            if (node.type() == pugi::node_element) {
                ++counts.Elements;
                for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
                     attribute = attribute.next_attribute())
                    ++counts.Attributes;
            }
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && !node.next_sibling()) node = node.parent();
            if (node) node = node.next_sibling();
        }
        return counts;
    }

private:
    struct TStringWriter final : pugi::xml_writer {
        std::string Text;
        void write(const void* data, std::size_t size) override
        {
            Text.append(static_cast<const char*>(data), size);
        }
    };

    bool Succeeded(const pugi::xml_parse_result& result)
    {
        FError = result ? std::string() : std::string(result.description());
        return static_cast<bool>(result);
    }

    std::unique_ptr<pugi::xml_document> FDocument;  // owned
};

// libxml2 with its default options; XML_PARSE_HUGE only where the nesting
// passes its default limit of 256 levels.
class TLibxml2 final : public TImplementation {
public:
    TLibxml2() { xmlInitParser(); }
    ~TLibxml2() override { Release(); }

    std::string_view Name() const override { return "libxml2"; }

    bool Parse(std::string_view text, bool deep) override
    {
        Release();
        FDocument = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                  deep ? XML_PARSE_HUGE : 0);
        return Succeeded();
    }

    bool LoadFile(const std::string& fileName) override
    {
        Release();
        FDocument = xmlReadFile(fileName.c_str(), nullptr, 0);
        return Succeeded();
    }

    void Release() override
    {
        if (FDocument != nullptr) xmlFreeDoc(FDocument);
        FDocument = nullptr;
    }

    std::size_t Write(bool indented, std::string* copy) override
    {
        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpFormatMemory(FDocument, &text, &size, indented ? 1 : 0);
        if (copy != nullptr && text != nullptr) copy->assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
        xmlFree(text);
        return static_cast<std::size_t>(size);
    }

    TTreeCounts Count() const override
    {
        TTreeCounts counts;
        xmlNode* node = xmlDocGetRootElement(FDocument);
        while (node != nullptr) {
            if (node->type == XML_ELEMENT_NODE) {
                ++counts.Elements;
                for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next)
                    ++counts.Attributes;
            }
            if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
                node = node->children;
                continue;
            }
            while (node != nullptr && node->next == nullptr)
                node = node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE ? node->parent : nullptr;
            if (node != nullptr) node = node->next;
        }
        return counts;
    }

private:
    bool Succeeded()
    {
        if (FDocument != nullptr) {
            FError.clear();
            return true;
        }
        const xmlError* error = xmlGetLastError();
        FError = error != nullptr && error->message != nullptr ? error->message : "libxml2 could not parse the text";
        return false;
    }

    xmlDoc* FDocument = nullptr;  // owned
};

}  // namespace

std::unique_ptr<TImplementation> MakeImplementation(std::string_view name)
{
    if (name == "brindle") return std::make_unique<TBrindle>(TqelXMLReading::Classic);
    if (name == "brindle-standard") return std::make_unique<TBrindle>(TqelXMLReading::Standard);
    if (name == "pugixml") return std::make_unique<TPugixml>();
    if (name == "libxml2") return std::make_unique<TLibxml2>();
    return nullptr;
}

const std::vector<std::string_view>& ImplementationNames()
{
    static const std::vector<std::string_view> names = {"brindle", "brindle-standard", "pugixml", "libxml2"};
    return names;
}

}  // namespace brindle::bench
