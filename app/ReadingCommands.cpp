// The two readings of a document: the Options menu's choice between the
// automatic rule, the classic reading and the standard one, kept in the settings
// file; the status bar's note of the working document's reading; and the texts
// of a standard document, which holds UTF-8 inside whatever its file's encoding.

#include "app/BrindleU.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <charconv>

#include "app/SourceEditor.h"
#include "core/StandardSource.h"
#include "core/qelStrings.h"
#include "qelBasic/qelIniFile.h"

namespace {

const QString KSettingsSection = QStringLiteral("settings");
const QString KReadingKey = QStringLiteral("reading");
// The line an error names is shown up to this many characters.
constexpr qsizetype KShownLineLength = 200;

struct TReadingItem {
    TReadingChoice Choice;
    const char* Name;       // the item's object name
    const char* Caption;    // the item's text in the Options menu
    const char* Setting;    // the value in the settings file
};

constexpr std::array<TReadingItem, 3> KReadingItems{{
    {TReadingChoice::Automatic, "ReadingAutomatic1", "&Automatic", "automatic"},
    {TReadingChoice::Classic, "ReadingClassic1", "&Classic", "classic"},
    {TReadingChoice::Standard, "ReadingStandard1", "Standard &XML", "standard"},
}};

// The encoding a standard document's file is written in, as Qt names it.
QByteArray FileEncoding(const TqelStandardSource& state)
{
    return state.Encoding.empty() ? QByteArray("UTF-8") : QByteArray::fromStdString(state.Encoding);
}

// The 1-based number before the first ':' of text, or 0.
int LeadingNumber(std::string_view text)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end != text.data() && end < text.data() + text.size() && *end == ':' ? number : 0;
}

// The line number a standard reading's "FILE:LINE:COLUMN: reason" names, or 0.
int ErrorLine(std::string_view error, std::string_view fileName)
{
    if (error.substr(0, fileName.size()) != fileName || error.substr(fileName.size(), 1) != ":") return 0;
    return LeadingNumber(error.substr(fileName.size() + 1));
}

}  // namespace

void TBrindleF::CreateReadingControls()
{
    Options1->addSeparator()->setObjectName(QStringLiteral("N6"));
    FReadingItems = new QActionGroup(this);
    FReadingItems->setExclusive(true);
    for (const TReadingItem& entry : KReadingItems) {
        QAction* item = Options1->addAction(QString::fromLatin1(entry.Caption));
        item->setObjectName(QString::fromLatin1(entry.Name));
        item->setCheckable(true);
        item->setData(static_cast<int>(entry.Choice));
        FReadingItems->addAction(item);
    }
    ReadingAutomatic1 = FReadingItems->actions().at(0);
    ReadingClassic1 = FReadingItems->actions().at(1);
    ReadingStandard1 = FReadingItems->actions().at(2);
    ReadingAutomatic1->setChecked(true);
    connect(FReadingItems, &QActionGroup::triggered, this,
            [this](QAction* item) { RunCommand([this, item] { ReadingItemChosen(item); }); });

    ReadingLabel = new QLabel(StatusBar1);
    ReadingLabel->setObjectName(QStringLiteral("ReadingLabel"));
    StatusBar1->addPermanentWidget(ReadingLabel);
    ShowReading();
}

void TBrindleF::ReadReadingSetting()
{
    const QSettings ini(SettingsFileName(), QSettings::IniFormat);
    const QString stored = ReadIniString(ini, KSettingsSection, KReadingKey, QString()).toLower();
    FReadingChoice = TReadingChoice::Automatic;
    for (const TReadingItem& entry : KReadingItems)
        if (stored == QLatin1String(entry.Setting)) FReadingChoice = entry.Choice;
    FReadingItems->actions().at(static_cast<int>(FReadingChoice))->setChecked(true);
}

void TBrindleF::ReadingItemChosen(QAction* item)
{
    FReadingChoice = static_cast<TReadingChoice>(item->data().toInt());
    WriteIniString(SettingsFileName(), KSettingsSection, KReadingKey,
                   QString::fromLatin1(KReadingItems[static_cast<std::size_t>(FReadingChoice)].Setting));
}

TqelXMLReading TBrindleF::LoadInChosenReading(TqelXMLParser2& document, const QString& fileName) const
{
    const std::string name = FileNameBytes(fileName);
    if (FReadingChoice == TReadingChoice::Automatic) return document.LoadFromFileAutomatic(name);
    const TqelXMLReading reading =
        FReadingChoice == TReadingChoice::Standard ? TqelXMLReading::Standard : TqelXMLReading::Classic;
    document.LoadFromFile(name, reading);
    return reading;
}

void TBrindleF::ShowReading()
{
    if (!FTreeModel->TopIndex().isValid())
        ReadingLabel->clear();
    else
        ReadingLabel->setText(WorkDoc->Reading() == TqelXMLReading::Standard ? QStringLiteral("Standard XML")
                                                                               : QStringLiteral("Classic"));
}

QString TBrindleF::RefusedFileMessage(const QString& fileName) const
{
    QString message = DecodeMessage(WorkDoc->LastError);
    const int line = ErrorLine(WorkDoc->LastError, FileNameBytes(fileName));
    if (line <= 0) return message;
    // The file is read again: a refused reading keeps nothing of it.
    const std::string text = ReadFileText(FileNameBytes(fileName));
    std::size_t start = 0;
    for (int i = 1; i < line && start != std::string::npos; ++i) {
        start = text.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return message;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    const std::string_view bytes = std::string_view(text).substr(start, end - start);
    // A line of a 16-bit encoding cannot be cut out of the bytes like this.
    if (bytes.find('\0') != std::string_view::npos) return message;
    QString shown = TTextCodec::ForDocument({}, bytes).Decode(bytes);
    if (shown.size() > KShownLineLength) shown = shown.left(KShownLineLength) + QChar(0x2026);
    return message + QStringLiteral("\n\n") + QString::number(line) + QStringLiteral(": ") + shown;
}

std::string TBrindleF::ShownXml(const TqelXMLNode2* element)
{
    std::string bytes = WorkDoc->GetNodeXML(element);
    const TqelStandardSource* state = WorkDoc->StandardSource();
    QString shown;
    if (state && element == WorkDoc.get()) {
        QStringDecoder decoder(FileEncoding(*state).constData());
        if (decoder.isValid()) shown = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    // A large document is mostly UTF-8 already: it then goes to the editor
    // without a round trip through UTF-16.
    if (shown.isNull()) {
        if (FCodec.KeepsUtf8(bytes)) return bytes;
        shown = Decode(bytes);
    }
    const QByteArray utf8 = shown.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void TBrindleF::UpdateStandardDocument(const QString& text)
{
    const TqelStandardSource& state = *WorkDoc->StandardSource();
    QStringEncoder encoder(FileEncoding(state).constData(),
                           state.Bom.empty() ? QStringConverter::Flag::Default : QStringConverter::Flag::WriteBom);
    const QByteArray encoded = encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toUtf8();
    std::string bytes(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    const QModelIndex top = FTreeModel->TopIndex();
    // The document's own text applied again changes nothing.
    if (bytes == WorkDoc->GetXMLText()) {
        ShowSource(top);
        return;
    }
    TqelXMLParser2 trial;
    trial.LoadFromText(bytes, TqelXMLReading::Standard);
    if (!trial.LastError.empty()) {
        sourceeditor->SetText(text);
        Prompts().Message(DecodeMessage(trial.LastError));
        return;
    }
    ReplaceDocument([this, &bytes] { WorkDoc->LoadFromText(std::move(bytes), TqelXMLReading::Standard); });
    ShowSource(FTreeModel->TopIndex());
}
