#include "standard/StandardXslt.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string_view>

#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxml/xmlIO.h>
#include <libxslt/documents.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

namespace {

// Documents are read as the usual processors read them: entities substituted,
// the DTD's default attributes applied, CDATA sections as text; never from the network.
constexpr int KParseOptions = XSLT_PARSE_OPTIONS | XML_PARSE_NONET;

// Collects what libxml2 and libxslt report, in the order they report it.
struct TMessages {
    std::string Text;
};

void CollectMessage(void* context, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::string part(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(part.data(), part.size(), format, arguments);
        part.resize(static_cast<std::size_t>(length));
        static_cast<TMessages*>(context)->Text += part;
    }
    va_end(arguments);
}

// The messages of the transformation that is running; the loader below has no
// other way to reach them.
TMessages* GActiveMessages = nullptr;  // not owned
// libxslt's own loader, which the one below hands files to.
xsltDocLoaderFunc GFileLoader = nullptr;

// True for a URI with a scheme other than "file".
bool IsNetworkUri(const xmlChar* text)
{
    xmlURIPtr uri = xmlParseURI(reinterpret_cast<const char*>(text));
    if (!uri) return false;  // not a URI: a file name
    const bool network = uri->scheme && std::string_view(uri->scheme) != "file";
    xmlFreeURI(uri);
    return network;
}

// Loads documents and stylesheets from files only. A network address gives no
// document, which document() takes as an empty node-set, and a message.
xmlDocPtr LoadLocalOnly(const xmlChar* uri, xmlDictPtr dict, int options, void* context, xsltLoadType type)
{
    if (uri && IsNetworkUri(uri)) {
        if (GActiveMessages)
            GActiveMessages->Text += "Nothing is read from the network: " + std::string(reinterpret_cast<const char*>(uri)) + "\n";
        return nullptr;
    }
    return GFileLoader(uri, dict, options | XML_PARSE_NONET, context, type);
}

// Routes the libraries' messages into messages, refuses every network entity
// and forbids network access and file writes while it lives; restores the
// defaults on every path.
class TXsltSession {
public:
    explicit TXsltSession(TMessages& messages) : FPrefs(xsltNewSecurityPrefs())
    {
        xmlInitParser();
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        xmlSetGenericErrorFunc(&messages, CollectMessage);
        xsltSetGenericErrorFunc(&messages, CollectMessage);
        FLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
        GActiveMessages = &messages;
        xsltSetLoaderFunc(nullptr);
        GFileLoader = xsltDocDefaultLoader;
        xsltSetLoaderFunc(LoadLocalOnly);
        if (!FPrefs) throw EStandardXsltError("Out of memory");
        // Network reads are refused by the loader, so that document() goes on
        // with an empty node-set; the preferences would stop the transformation.
        xsltSetSecurityPrefs(FPrefs, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
        xsltSetSecurityPrefs(FPrefs, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
        xsltSetSecurityPrefs(FPrefs, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
        // Imports and includes are read under the default preferences.
        FDefaultPrefs = xsltGetDefaultSecurityPrefs();
        xsltSetDefaultSecurityPrefs(FPrefs);
    }
    ~TXsltSession()
    {
        xsltSetDefaultSecurityPrefs(FDefaultPrefs);
        if (FPrefs) xsltFreeSecurityPrefs(FPrefs);
        xsltSetLoaderFunc(nullptr);
        GActiveMessages = nullptr;
        xmlSetExternalEntityLoader(FLoader);
        xsltSetGenericErrorFunc(nullptr, nullptr);
        xmlSetGenericErrorFunc(nullptr, nullptr);
    }
    TXsltSession(const TXsltSession&) = delete;
    TXsltSession& operator=(const TXsltSession&) = delete;

    xsltSecurityPrefsPtr Prefs() const { return FPrefs; }

private:
    xsltSecurityPrefsPtr FPrefs;          // owned
    xsltSecurityPrefsPtr FDefaultPrefs;   // not owned
    xmlExternalEntityLoader FLoader;
};

struct TDocFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct TStylesheetFree {
    void operator()(xsltStylesheet* stylesheet) const { xsltFreeStylesheet(stylesheet); }
};
struct TContextFree {
    void operator()(xsltTransformContext* context) const { xsltFreeTransformContext(context); }
};
struct TTextFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// The collected messages without the line break after the last.
std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

[[noreturn]] void Fail(const std::string& what, TMessages& messages)
{
    const std::string detail = Trimmed(std::move(messages.Text));
    throw EStandardXsltError(detail.empty() ? what : what + "\n" + detail);
}

}  // namespace

TStandardXsltResult TransformStandardXslt(const TStandardXsltRequest& request)
{
    TMessages messages;
    TXsltSession session(messages);

    std::unique_ptr<xsltStylesheet, TStylesheetFree> stylesheet(
        xsltParseStylesheetFile(reinterpret_cast<const xmlChar*>(request.StylesheetFile.c_str())));
    // libxslt hands back a stylesheet with compilation errors, which would run
    // with the faulty instructions left out.
    if (!stylesheet || stylesheet->errors > 0)
        Fail("The stylesheet " + request.StylesheetFile + " cannot be used:", messages);

    if (request.DocumentText.size() > static_cast<std::size_t>(INT32_MAX))
        throw EStandardXsltError("The document is too large for XSLT 1.0 (2 GB at most).");
    std::unique_ptr<xmlDoc, TDocFree> document(xmlReadMemory(
        request.DocumentText.data(), static_cast<int>(request.DocumentText.size()),
        request.DocumentName.empty() ? nullptr : request.DocumentName.c_str(), nullptr, KParseOptions));
    if (!document) Fail("The document's text is not well-formed XML:", messages);

    std::unique_ptr<xsltTransformContext, TContextFree> context(
        xsltNewTransformContext(stylesheet.get(), document.get()));
    if (!context) Fail("The transformation cannot start:", messages);
    xsltSetCtxtSecurityPrefs(session.Prefs(), context.get());
    xsltSetTransformErrorFunc(context.get(), &messages, CollectMessage);

    std::vector<const char*> parameters;
    for (const auto& [name, value] : request.Parameters) {
        parameters.push_back(name.c_str());
        parameters.push_back(value.c_str());
    }
    parameters.push_back(nullptr);
    if (xsltQuoteUserParams(context.get(), parameters.data()) != 0) Fail("A parameter cannot be set:", messages);

    std::unique_ptr<xmlDoc, TDocFree> output(
        xsltApplyStylesheetUser(stylesheet.get(), document.get(), nullptr, nullptr, nullptr, context.get()));
    if (!output || context->state == XSLT_STATE_ERROR || context->state == XSLT_STATE_STOPPED)
        Fail("The transformation stopped:", messages);

    xmlChar* bytes = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&bytes, &length, output.get(), stylesheet.get()) != 0)
        Fail("The output cannot be written:", messages);
    const std::unique_ptr<xmlChar, TTextFree> owned(bytes);
    TStandardXsltResult result;
    if (bytes) result.Output.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    result.Messages = Trimmed(std::move(messages.Text));
    return result;
}
