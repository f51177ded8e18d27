// The lossless save of a document read in the standard reading.
//
// An element whose digest is still the one it was read with is written as its
// bytes in the source text (its children are visited, since they may have
// changed). A changed element keeps what did not change: the start tag when name
// and attributes are as read, each unchanged attribute as written, the text run
// when the text is as read, surviving children and what stands between them. A
// deleted child leaves with the blanks before it. An element that was not read
// from the text is written in the writer's layout, on its own line, indented like
// its siblings.

#include <algorithm>
#include <vector>

#include "core/SourceMarkup.h"
#include "core/StandardSource.h"
#include "core/TextEncoding.h"

namespace {

class TLosslessWriter {
public:
    TLosslessWriter(const TqelXMLParser2& document, const TqelStandardSource& state)
        : FDocument(document), FSource(document.Source), FState(state)
    {
    }

    std::string Write(const TqelXMLNode2& node)
    {
        const bool whole = &node == &FDocument;
        if (whole) FOut.reserve(FState.TextLength + FState.TextLength / 64);
        if (whole) {
            Copy(0, FState.PrologEnd);
            Run(node);
            Copy(FState.EpilogStart, FState.TextLength);
        } else {
            Run(node);
        }
        Flush();
        if (!whole) return std::move(FOut);
        return EncodeDocumentText(std::move(FOut), FState.Encoding, FState.Bom);
    }

private:
    enum class TKind { Unchanged, Changed, Layout };
    struct TFrame {
        TFrame(const TqelXMLNode2* node, TKind kind) : Node(node), Kind(kind) {}
        const TqelXMLNode2* Node;
        TKind Kind;
        int Next = 0;
        std::size_t Cursor = 0;    // Changed: the source text is written up to here
        std::string Indent;        // Layout: this element's line; Changed: a new child's line
        bool Added = false;        // Changed: a child not found at its place in the text was written
        bool WasEmpty = false;     // Changed: read as an empty-element tag
        bool NameKept = true;      // Changed: the end tag can be copied
    };

    const TqelXMLParser2& FDocument;
    std::string_view FSource;
    const TqelStandardSource& FState;
    std::string FOut;
    std::size_t FFrom = 0, FTo = 0;  // a run of source text not yet appended
    std::vector<TFrame> FStack;
    std::string FLineBreak, FIndentUnit;
    char FQuote = 0;

    void Copy(std::size_t from, std::size_t to)
    {
        if (from >= to) return;
        if (from == FTo && FTo > FFrom) {
            FTo = to;
            return;
        }
        Flush();
        FFrom = from;
        FTo = to;
    }
    void Flush()
    {
        if (FTo > FFrom) FOut.append(FSource.substr(FFrom, FTo - FFrom));
        FFrom = FTo = 0;
    }
    void Put(std::string_view text)
    {
        Flush();
        FOut.append(text);
    }
    // A name goes out as it is: one the document's encoding cannot hold would need
    // a character reference, which a name cannot have.
    void PutName(std::string_view name)
    {
        if (!FState.Encoding.empty() && !CanEncode(name, FState.Encoding))
            throw EEncodingError("The name \"" + std::string(name) + "\" cannot be written in " + FState.Encoding);
        Put(name);
    }
    void PutEscaped(std::string_view text, char quote)
    {
        Flush();
        AppendEscaped(FOut, text, quote, true);
    }

    void Run(const TqelXMLNode2& node)
    {
        Enter(node, {});
        while (!FStack.empty()) Step();
    }

    // Writes node, or starts it and leaves a frame for its children.
    void Enter(const TqelXMLNode2& node, std::string indent)
    {
        if (!HasSourceSpan(FDocument, node)) return StartLayout(node, std::move(indent));
        if (ElementDigest(node) != node.SourceDigest() || !ChildrenInPlace(node)) return StartChanged(node);
        if (node.Children.Count() == 0) return Copy(node.SourceStart, SourceEnd(FSource, node));
        Copy(node.SourceStart, node.SourceContent());
        FStack.emplace_back(&node, TKind::Unchanged);
        FStack.back().Cursor = node.SourceContent();
    }

    void Step()
    {
        TFrame& frame = FStack.back();
        const TqelXMLNode2& node = *frame.Node;
        const int count = node.Children.Count();
        if (frame.Next >= count) return Finish();
        const TqelXMLNode2& child = *node.Children[frame.Next++];
        switch (frame.Kind) {
        case TKind::Unchanged:
            if (FromEntity(child)) return;
            Copy(frame.Cursor, child.SourceStart);
            frame.Cursor = SourceEnd(FSource, child);
            return Enter(child, {});  // the frame may move from here on
        case TKind::Changed: {
            if (FromEntity(child)) return;
            if (InPlace(frame, child)) {
                Gap(frame.Cursor, child.SourceStart);
                frame.Cursor = SourceEnd(FSource, child);
                return Enter(child, {});
            }
            frame.Added = true;
            std::string indent = frame.Indent;
            Put(LineBreak());
            Put(indent);
            return Enter(child, std::move(indent));
        }
        case TKind::Layout: {
            std::string indent = frame.Indent + IndentUnit();
            Put(LineBreak());
            Put(indent);
            return Enter(child, std::move(indent));
        }
        }
    }

    void Finish()
    {
        TFrame frame = std::move(FStack.back());
        FStack.pop_back();
        const TqelXMLNode2& node = *frame.Node;
        switch (frame.Kind) {
        case TKind::Unchanged:
            return Copy(frame.Cursor, SourceEnd(FSource, node));
        case TKind::Changed: {
            if (frame.WasEmpty) {
                if (HasContent(node)) {
                    if (frame.Added) {
                        Put(LineBreak());
                        Put(LineIndent(node.SourceStart));
                    }
                    Put("</");
                    PutName(node.Name);
                    Put(">");
                }
                return;
            }
            const std::size_t tail = frame.Cursor;
            Gap(tail, node.SourceEndTag());
            if (frame.Added && FSource.substr(tail, node.SourceEndTag() - tail).find('\n') == std::string_view::npos) {
                Put(LineBreak());
                Put(LineIndent(node.SourceStart));
            }
            if (frame.NameKept) {
                Copy(node.SourceEndTag(), SourceEnd(FSource, node));
            } else {
                Put("</");
                PutName(node.Name);
                Put(">");
            }
            return;
        }
        case TKind::Layout:
            Put(LineBreak());
            Put(frame.Indent);
            Put("</");
            PutName(node.Name);
            Put(">");
            return;
        }
    }

    // Written as the entity reference that stands for it in its parent's content.
    bool FromEntity(const TqelXMLNode2& node) const
    {
        return (node.SourceFlags & SourceFromEntity) && node.Document == &FDocument;
    }

    static bool HasContent(const TqelXMLNode2& node) { return !node.Text.empty() || node.Children.Count() > 0; }

    // True when child still stands where it was read, next in this element's content.
    bool InPlace(const TFrame& frame, const TqelXMLNode2& child) const
    {
        if (frame.WasEmpty || !HasSourceSpan(FDocument, child)) return false;
        if (child.SourceStart < frame.Cursor || child.SourceStart >= frame.Node->SourceEndTag()) return false;
        // Only deleted elements may stand between, each ending before child.
        std::size_t i = frame.Cursor;
        for (;;) {
            const std::size_t start = FindStartTag(FSource, i, child.SourceStart);
            if (start >= child.SourceStart) return true;
            i = SkipElement(FSource, start);
            if (i > child.SourceStart) return false;
        }
    }

    // True when the children stand in the element's content in their order (a
    // child rebuilt from new source text stands elsewhere).
    bool ChildrenInPlace(const TqelXMLNode2& node) const
    {
        std::size_t after = node.SourceContent();
        for (const auto& child : node.Children) {
            if (FromEntity(*child)) continue;
            if (!HasSourceSpan(FDocument, *child) || child->SourceStart < after ||
                child->SourceStart >= node.SourceEndTag())
                return false;
            after = child->SourceContent();
        }
        return true;
    }

    // Copies text[from, to) without the elements in it (deleted children) and the
    // blanks just before each of them.
    void Gap(std::size_t from, std::size_t to)
    {
        std::size_t i = from;
        while (i < to) {
            const std::size_t start = FindStartTag(FSource, i, to);
            if (start >= to) return Copy(i, to);
            std::size_t blanks = start;
            while (blanks > i && IsXmlSpace(FSource[blanks - 1])) --blanks;
            Copy(i, blanks);
            i = std::min(SkipElement(FSource, start), to);
        }
    }

    void StartChanged(const TqelXMLNode2& node)
    {
        const std::size_t start = node.SourceStart, content = node.SourceContent();
        const TqelRawStartTag tag = LexStartTag(FSource, start, content);
        TFrame frame{&node, TKind::Changed};
        frame.WasEmpty = (node.SourceFlags & SourceEmptyTag) != 0;
        frame.NameKept = tag.Name == node.Name;
        const bool reopen = frame.WasEmpty && HasContent(node);
        if (frame.NameKept && !reopen && SameAttributes(tag, node))
            Copy(start, content);
        else
            WriteStartTag(node, tag, content, reopen);

        const std::size_t runEnd = frame.WasEmpty ? content : FindStartTag(FSource, content, node.SourceEndTag());
        const std::string_view run = FSource.substr(content, runEnd - content);
        // The blanks that end the run stay to the children's part, so that a
        // deleted first child takes them along.
        std::size_t trail = run.size();
        while (trail > 0 && IsXmlSpace(run[trail - 1])) --trail;
        frame.Cursor = content + trail;
        if (frame.WasEmpty) {
            PutEscaped(node.Text, 0);
        } else if (TrimControls(DecodeContent(run, FState.Entities)) == node.Text) {
            Copy(content, frame.Cursor);
        } else {
            WriteText(run.substr(0, trail), node.Text);
        }
        frame.Indent = ChildIndent(node);
        if (!frame.WasEmpty || reopen) FStack.push_back(std::move(frame));
    }

    bool SameAttributes(const TqelRawStartTag& tag, const TqelXMLNode2& node) const
    {
        if (tag.Attributes.size() != static_cast<std::size_t>(node.Attributes.Count())) return false;
        for (std::size_t i = 0; i < tag.Attributes.size(); ++i) {
            const TqelXMLAttribute2& attribute = *node.Attributes[static_cast<int>(i)];
            if (tag.Attributes[i].Name != attribute.Name ||
                DecodeAttributeValue(tag.Attributes[i].Value, FState.Entities) != attribute.Value)
                return false;
        }
        return true;
    }

    void WriteStartTag(const TqelXMLNode2& node, const TqelRawStartTag& tag, std::size_t content, bool reopen)
    {
        Put("<");
        PutName(node.Name);
        for (const auto& attribute : node.Attributes) {
            const auto old = std::find_if(tag.Attributes.begin(), tag.Attributes.end(),
                                          [&](const TqelRawAttribute& a) { return a.Name == attribute->Name; });
            if (old == tag.Attributes.end()) {
                const char quote = Quote();
                Put(" ");
                PutName(attribute->Name);
                Put(quote == '"' ? "=\"" : "='");
                PutEscaped(attribute->Value, quote);
                Put(quote == '"' ? "\"" : "'");
            } else if (DecodeAttributeValue(old->Value, FState.Entities) == attribute->Value) {
                Copy(old->From, old->To);
            } else {
                const std::size_t nameAt = static_cast<std::size_t>(old->Name.data() - FSource.data());
                const std::size_t valueAt = static_cast<std::size_t>(old->Value.data() - FSource.data());
                Copy(old->From, nameAt);
                PutName(attribute->Name);
                Copy(nameAt + old->Name.size(), valueAt);
                PutEscaped(attribute->Value, old->Quote);
                Put(std::string_view(&old->Quote, 1));
            }
        }
        if (!reopen) return Copy(tag.TailFrom, content);
        std::size_t blanks = tag.TailFrom;
        while (blanks < content && IsXmlSpace(FSource[blanks])) ++blanks;
        Copy(tag.TailFrom, blanks);
        Put(">");
    }

    // The new text in place of the run (without its trailing blanks), keeping the
    // run's leading blanks. A reference to an entity that holds elements stays,
    // with what follows it: those elements come from it.
    void WriteText(std::string_view run, const std::string& text)
    {
        const std::size_t from = static_cast<std::size_t>(run.data() - FSource.data());
        std::size_t lead = 0;
        while (lead < run.size() && IsXmlSpace(run[lead])) ++lead;
        std::size_t cut = lead;
        while (cut < run.size()) {
            const std::size_t next = run.find_first_of("<&", cut);
            if (next == std::string_view::npos) {
                cut = run.size();
                break;
            }
            if (run[next] == '<') {
                const std::size_t past = SkipMarkup(run, next);
                cut = past > next ? past : next + 1;
                continue;
            }
            const std::size_t semicolon = run.find(';', next);
            const auto entity = semicolon == std::string_view::npos
                                    ? FState.Entities.end()
                                    : FState.Entities.find(std::string(run.substr(next + 1, semicolon - next - 1)));
            if (entity != FState.Entities.end() && entity->second.find('<') != std::string::npos) {
                cut = next;
                break;
            }
            cut = next + 1;
        }
        Copy(from, from + std::min(lead, cut));
        PutEscaped(text, 0);
        if (cut < run.size()) Copy(from + cut, from + run.size());
    }

    void StartLayout(const TqelXMLNode2& node, std::string indent)
    {
        Put("<");
        PutName(node.Name);
        const char quote = node.Attributes.Count() > 0 ? Quote() : '"';
        for (const auto& attribute : node.Attributes) {
            Put(" ");
            PutName(attribute->Name);
            Put(quote == '"' ? "=\"" : "='");
            PutEscaped(attribute->Value, quote);
            Put(quote == '"' ? "\"" : "'");
        }
        if (!HasContent(node)) return Put("/>");
        Put(">");
        PutEscaped(node.Text, 0);
        if (node.Children.Count() == 0) {
            Put("</");
            PutName(node.Name);
            Put(">");
            return;
        }
        TFrame frame{&node, TKind::Layout};
        frame.Indent = std::move(indent);
        FStack.push_back(std::move(frame));
    }

    // The blanks that start the line on which the tag at offset stands.
    std::string LineIndent(std::size_t offset) const
    {
        const std::size_t lineStart = FSource.find_last_of("\r\n", offset == 0 ? 0 : offset - 1);
        std::size_t k = lineStart == std::string_view::npos || offset == 0 ? 0 : lineStart + 1;
        const std::size_t from = k;
        while (k < offset && (FSource[k] == ' ' || FSource[k] == '\t')) ++k;
        return std::string(FSource.substr(from, k - from));
    }

    // The indentation of a new child: that of a child read from the text, else the
    // element's own plus the document's unit.
    std::string ChildIndent(const TqelXMLNode2& node)
    {
        for (const auto& child : node.Children)
            if (HasSourceSpan(FDocument, *child) && child->SourceStart < FState.TextLength &&
                child->SourceStart > node.SourceStart && child->SourceStart < node.SourceEndTag())
                return LineIndent(child->SourceStart);
        return LineIndent(node.SourceStart) + IndentUnit();
    }

    const std::string& LineBreak()
    {
        if (FLineBreak.empty()) {
            const std::size_t lf = FSource.find('\n');
            FLineBreak = lf != std::string_view::npos && lf > 0 && FSource[lf - 1] == '\r' ? "\r\n" : "\n";
        }
        return FLineBreak;
    }

    // The step between the outermost element's indentation and its first child's.
    const std::string& IndentUnit()
    {
        if (!FIndentUnit.empty()) return FIndentUnit;
        FIndentUnit = "  ";
        const TqelXMLNode2& root = FDocument;
        if (!HasSourceSpan(FDocument, root) || root.Children.Count() == 0) return FIndentUnit;
        const TqelXMLNode2& first = *root.Children[0];
        if (!HasSourceSpan(FDocument, first)) return FIndentUnit;
        const std::string outer = LineIndent(root.SourceStart), inner = LineIndent(first.SourceStart);
        if (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0) FIndentUnit = inner.substr(outer.size());
        return FIndentUnit;
    }

    // The quote the document's attributes use most.
    char Quote()
    {
        if (FQuote) return FQuote;
        std::size_t doubles = 0, singles = 0;
        for (std::size_t i = FSource.find('='); i != std::string_view::npos && i + 1 < FSource.size();
             i = FSource.find('=', i + 1)) {
            if (FSource[i + 1] == '"') ++doubles;
            if (FSource[i + 1] == '\'') ++singles;
        }
        FQuote = singles > doubles ? '\'' : '"';
        return FQuote;
    }
};

}  // namespace

std::string WriteLossless(TqelXMLParser2& document, const TqelXMLNode2& node)
{
    return TLosslessWriter(document, *document.StandardSource()).Write(node);
}
