// The standard languages beside the engine's own: the query box's language
// choice and its XPath 1.0 queries, run on a copy of the document that is made
// again only after the document changed, and XSLT 1.0 transformations.

#include "app/BrindleU.h"

#include <QComboBox>
#include <QSettings>
#include <QStatusBar>

#include "app/HandlerGuards.h"
#include "qelBasic/qelIniFile.h"
#include "standard/StandardXPath.h"
#include "standard/StandardXslt.h"

namespace {

const QString KSettingsSection = QStringLiteral("settings");
const QString KQueryLanguageKey = QStringLiteral("querylanguage");

// The values of the settings file, in the order of the choice's items.
const char* const KQueryLanguageSettings[] = {"brindle", "xpath"};

}  // namespace

void TBrindleF::CreateQueryLanguageBox()
{
    QueryLanguageBox->addItem(QStringLiteral("Brindle"), static_cast<int>(TQueryLanguage::Brindle));
    QueryLanguageBox->addItem(QStringLiteral("XPath 1.0"), static_cast<int>(TQueryLanguage::XPath));
    QueryLanguageBox->setToolTip(QStringLiteral("The language of the query (F9 runs it)"));
    connect(QueryLanguageBox, &QComboBox::activated, this, [this] { RunCommand([this] { QueryLanguageChosen(); }); });
}

TQueryLanguage TBrindleF::QueryLanguage() const
{
    return static_cast<TQueryLanguage>(QueryLanguageBox->currentData().toInt());
}

void TBrindleF::ReadQueryLanguageSetting()
{
    const QSettings ini(SettingsFileName(), QSettings::IniFormat);
    const QString stored = ReadIniString(ini, KSettingsSection, KQueryLanguageKey, QString()).toLower();
    QueryLanguageBox->setCurrentIndex(stored == QLatin1String(KQueryLanguageSettings[1]) ? 1 : 0);
}

void TBrindleF::QueryLanguageChosen()
{
    WriteIniString(SettingsFileName(), KSettingsSection, KQueryLanguageKey,
                   QString::fromLatin1(KQueryLanguageSettings[QueryLanguageBox->currentIndex()]));
}

void TBrindleF::SetQueryLanguage(TQueryLanguage language)
{
    const int index = QueryLanguageBox->findData(static_cast<int>(language));
    if (index == QueryLanguageBox->currentIndex()) return;
    QueryLanguageBox->setCurrentIndex(index);
    QueryLanguageChosen();
}

const TStandardXPathDocument& TBrindleF::XPathCopy()
{
    if (!FXPathCopy || FXPathCopyGeneration != FDocumentGeneration) {
        FXPathCopy.reset();
        FXPathCopy = std::make_unique<TStandardXPathDocument>(*WorkDoc);
        FXPathCopyGeneration = FDocumentGeneration;
    }
    return *FXPathCopy;
}

void TBrindleF::RunXPathQuery(const QString& query)
{
    TqelXMLNode2* context = TElementTreeModel::Element(SelectedTreeIndex());
    TStandardXPathResult result;
    {
        TBusyCursor busy;
        // An error leaves here, before the list is touched.
        result = XPathCopy().Evaluate(Encode(query), context);
        if (result.Kind == TStandardXPathResult::TKind::Elements) FillSelection(result.Elements);
    }
    if (result.Kind != TStandardXPathResult::TKind::Elements) {
        const QString line = Decode(result.ValueLine());
        StatusBar1->showMessage(line);
        Prompts().Message(line);
        return;
    }
    StatusBar1->showMessage(CountOf(static_cast<qint64>(result.Elements.size()), "element") + QStringLiteral(" selected"));
    // Filling drops the selected row without a notification.
    selectionChange();
}

void TBrindleF::TransformXslt1Click()
{
    if (CurrentFile.isEmpty()) return;
    const auto stylesheet = Prompts().OpenDialog({QStringLiteral("Select XSLT 1.0 stylesheet for transformation"), InitialDir(),
                                                  QStringLiteral("XSLT Files (*.xsl;*.xslt)|*.xsl;*.xslt")});
    if (stylesheet) RunTransform(*stylesheet, TransformOutputFile(), TStylesheetProcessor::Xslt);
}

std::string TBrindleF::TransformWithXslt(TqelXMLNode2& source, const QString& stylesheetFile, QString& messages)
{
    TStandardXsltRequest request;
    // The text the element or the document would be saved as.
    request.DocumentText = &source == WorkDoc.get() ? WorkDoc->GetXMLText() : WorkDoc->GetNodeXML(&source);
    request.DocumentName = FileNameBytes(CurrentFile);
    request.StylesheetFile = FileNameBytes(stylesheetFile);
    TStandardXsltResult result = TransformStandardXslt(request);
    messages = DecodeMessage(result.Messages);
    return std::move(result.Output);
}
