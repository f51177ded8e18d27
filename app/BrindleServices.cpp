// The window's smaller services: the recent-files list of the File menu, the
// settings file, the samples of the Samples menu, the tree's hints and the Help
// menu.

#include "app/BrindleU.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeView>

#include <functional>
#include <utility>

#include "app/HelpWindow.h"
#include "app/ProgramFolders.h"
#include "core/FormatSettings.h"
#include "core/qelStrings.h"
#include "qelBasic/qelIniFile.h"
#include "qelBasic/qelMenuText.h"
#include "qelBasic/qelMruMenu.h"

namespace {

const QString KSettingsSection = QStringLiteral("settings");
// The window's size, place, maximised state and splitter positions.
const QString KWindowSection = QStringLiteral("window/");
// Stands for the executable's folder in a sample's body.
constexpr std::string_view KAppDirMarker = "{appldir}";
// A hint shows at most this many characters: the text of a whole book would
// fill the screen and keep the window busy on every rest of the mouse.
constexpr qsizetype KHintLength = 1000;
// Enough bytes for KHintLength characters in any encoding.
constexpr std::size_t KHintBytes = 4 * KHintLength + 4;

const QString KAboutText = QStringLiteral(
    "Brindle 4.0\n"
    "A desktop XML workbench\n"
    "\n"
    "Written by the Brindle project.\n"
    "Questions, bug reports and suggestions: the Brindle project's issue tracker.\n"
    "News and discussion: the Brindle project's mailing list.");

// A hint is shown as it stands: text that Qt would take for markup, as element
// texts of an XML document often are, goes to it as escaped rich text.
QString AsPlainText(const QString& text)
{
    if (!Qt::mightBeRichText(text)) return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

// Hands the hint requests of the controls it watches to the window's hint
// handler and shows what it returns.
class THintFilter : public QObject {
public:
    using THandler = std::function<bool(QString& hintText, QWidget* control, const QPoint& position, QRect& cursorRect)>;

    THintFilter(THandler handler, QObject* parent) : QObject(parent), FHandler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) return false;
        auto* control = qobject_cast<QWidget*>(watched);
        if (!control) return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text;
        QRect cursorRect;
        if (!FHandler(text, control, help->pos(), cursorRect)) return false;
        // The hint stays while the mouse is inside the item's label and is asked
        // for again once it moves to another item.
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), AsPlainText(text), control, cursorRect);
        return true;
    }

private:
    THandler FHandler;
};

// The text without leading and trailing blanks and control characters.
std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The person's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
QString ConfigHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }

// The samples file is read as UTF-8 when it is valid UTF-8, else as ISO-8859-1.
TTextCodec SamplesCodec(std::string_view samplesText) { return TTextCodec::ForDocument({}, samplesText); }

}  // namespace

void TBrindleF::CreateServices()
{
    if (FExeName.isEmpty())
        FExeName = AppDir + QLatin1Char('/') + QFileInfo(QCoreApplication::applicationFilePath()).fileName();

    // The recent files restore themselves before the rest of the start-up, so
    // that the File menu shows them from the first moment.
    qelMruMenu1 = new TqelMruMenu(this);
    qelMruMenu1->setObjectName(QStringLiteral("qelMruMenu1"));
    // The component keeps its list in the INI file of the executable name it is
    // given; for the settings file's own name that is the settings file.
    qelMruMenu1->SetExeName(SettingsFileName());
    qelMruMenu1->SetParentMenu(MainMenu1);
    qelMruMenu1->OnSelectFile = [this](TqelMruMenu* sender, const QString& fileName) {
        RunCommand([this, sender, &fileName] { qelMruMenu1SelectFile(sender, fileName); });
    };
    qelMruMenu1->Loaded();

    RunCommand([this] { LoadSamples(); });
    HintAttribute.clear();
    tree->viewport()->installEventFilter(new THintFilter(
        [this](QString& hintText, QWidget* control, const QPoint& position, QRect& cursorRect) {
            return DoShowHint(hintText, control, position, cursorRect);
        },
        this));
    RunCommand([this] { ReadSettings(); });
}

QList<QSplitter*> TBrindleF::LayoutSplitters() const { return {Splitter1, Splitter2, Splitter3, Splitter4}; }

void TBrindleF::RestoreLayout()
{
    // Nothing stored, or something unreadable, keeps the designed layout.
    const QSettings ini(SettingsFileName(), QSettings::IniFormat);
    if (!restoreGeometry(ini.value(KWindowSection + QStringLiteral("geometry")).toByteArray())) PlaceFirstWindow();
    for (QSplitter* splitter : LayoutSplitters())
        splitter->restoreState(ini.value(KWindowSection + splitter->objectName()).toByteArray());
}

void TBrindleF::SaveLayout() const
{
    QSettings ini(SettingsFileName(), QSettings::IniFormat);
    ini.setValue(KWindowSection + QStringLiteral("geometry"), saveGeometry());
    for (const QSplitter* splitter : LayoutSplitters())
        ini.setValue(KWindowSection + splitter->objectName(), splitter->saveState());
    ini.sync();
}

QString TBrindleF::SettingsFileName() const { return ProgramSettingsFile(FExeName, ConfigHome()); }

QString TBrindleF::WritableFolder() const { return ProgramWritableFolder(QFileInfo(FExeName).path(), ConfigHome()); }

void TBrindleF::qelMruMenu1SelectFile(TqelMruMenu* /*sender*/, const QString& fileName)
{
    if (!QFileInfo(fileName).isFile()) return;
    // Opened as Open opens: the current document may still hold edits.
    if (!LeaveDocument()) return;
    CloseDocument();
    OpenDocument(fileName);
}

void TBrindleF::ReadSettings()
{
    const QSettings ini(SettingsFileName(), QSettings::IniFormat);
    const TFormatSettings defaults;
    TFormatSettings& settings = ProgramSettings();
    // Dates are 8-bit text: only a plain ASCII character can separate their parts.
    const QString separator = ReadIniString(ini, KSettingsSection, QStringLiteral("dateseparator"), QString());
    settings.DateSeparator = !separator.isEmpty() && separator.front().unicode() < 0x80
                                 ? static_cast<char>(separator.front().unicode())
                                 : defaults.DateSeparator;
    // An empty format would print every date as empty text.
    const QString format = ReadIniString(ini, KSettingsSection, QStringLiteral("shortdateformat"), QString());
    settings.ShortDateFormat = format.isEmpty() ? defaults.ShortDateFormat : format.toStdString();
    ReadReadingSetting();
    ReadQueryLanguageSetting();
}

void TBrindleF::LoadSamples()
{
    const QString file = AppDir + QStringLiteral("/samples.txt");
    // Without the file the menu keeps the samples of the last read.
    if (QFileInfo(file).isFile()) SamplesText = ReadFileText(FileNameBytes(file));
    if (SamplesText.empty()) return;
    Samples1->clear();
    ExtractBracketedItems(SamplesText, SampleNames);
    const TTextCodec codec = SamplesCodec(SamplesText);
    for (std::size_t i = 0; i < SampleNames.size(); ++i) {
        QAction* item = Samples1->addAction(LiteralMenuText(codec.Decode(SampleNames[i])));
        connect(item, &QAction::triggered, this, [this, i] { RunCommand([this, i] { SampleClick(i); }); });
    }
}

void TBrindleF::LoadSamples1Click() { LoadSamples(); }

std::string TBrindleF::SampleBody(std::string_view text, std::string_view name)
{
    const std::string bracketed = '[' + std::string(name) + ']';
    const int found = FindTextFrom(bracketed, text, 1);
    if (found == 0) return {};
    const std::size_t start = static_cast<std::size_t>(found) - 1 + bracketed.size();
    const int next = FindFrom("[", text, static_cast<int>(start) + 1);
    const std::size_t end = next == 0 ? text.size() : static_cast<std::size_t>(next) - 1;
    return std::string(TrimBlanks(text.substr(start, end - start)));
}

void TBrindleF::SampleClick(std::size_t sample)
{
    if (sample >= SampleNames.size()) return;
    std::string body = SampleBody(SamplesText, SampleNames[sample]);
    // A sample in XPath 1.0 says so at its start; the others are in the own language.
    const bool xpath = body.starts_with(KXPathSampleMarker);
    if (xpath) body = std::string(TrimBlanks(std::string_view(body).substr(KXPathSampleMarker.size())));
    SetQueryLanguage(xpath ? TQueryLanguage::XPath : TQueryLanguage::Brindle);
    const TTextCodec codec = SamplesCodec(SamplesText);
    QString text;
    // Only the first marker is replaced, in any letter case.
    const int marker = FindTextFrom(KAppDirMarker, body, 1);
    if (marker == 0) {
        text = codec.Decode(body);
    } else {
        const std::string_view whole = body;
        const auto before = static_cast<std::size_t>(marker) - 1;
        text = codec.Decode(whole.substr(0, before)) + AppDir + codec.Decode(whole.substr(before + KAppDirMarker.size()));
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    edfilter->setPlainText(text);
}

void TBrindleF::HintField1Click()
{
    QString text = HintAttribute;
    if (Prompts().InputBox(QStringLiteral("Display Hint"), QStringLiteral("Enter attribute to display (empty for text display)"),
                           text))
        HintAttribute = text;
}

bool TBrindleF::DoShowHint(QString& hintText, QWidget* control, const QPoint& position, QRect& cursorRect)
{
    if (control != tree->viewport()) return false;
    const QModelIndex item = tree->indexAt(position);
    const TqelXMLNode2* element = TElementTreeModel::Element(item);
    if (!element) return false;
    cursorRect = tree->visualRect(item);

    const auto shortened = [this](std::string_view bytes) {
        QString text = Decode(std::string(bytes.substr(0, KHintBytes)));
        if (text.size() > KHintLength || bytes.size() > KHintBytes) text = text.left(KHintLength) + QChar(0x2026);
        return text;
    };
    if (HintAttribute.isEmpty())
        hintText = shortened(element->Text);
    else
        hintText = HintAttribute + QStringLiteral(": ") + shortened(element->GetAttribute(Encode(HintAttribute)));
    StatusBar1->showMessage(hintText);
    return true;
}

void TBrindleF::Contents1Click()
{
    const QString file = AppDir + QStringLiteral("/help/Brindle.html");
    // A manual that is missing or cannot be read is reported by name.
    ReadFileText(FileNameBytes(file));
    if (!FHelpWindow) FHelpWindow = new THelpWindow(this);
    FHelpWindow->ShowTopic(file, QStringLiteral("Brindle"));
}

void TBrindleF::About1Click() { Prompts().Message(KAboutText); }
