#pragma once
// The children a reader has made for the elements still open, handed to each
// element in one piece when it ends: every child list is allocated once, at its
// final size, instead of growing one child at a time.

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "core/qelXMLParser2.h"

class TqelPendingChildren {
public:
    // The lists of the thread's last reader are reused, so that reading a deep
    // document does not grow them from nothing every time.
    TqelPendingChildren()
    {
        FLevels.swap(Kept().Levels);
        FItems.swap(Kept().Items);
    }
    // Destroys the children of elements left open (after an error).
    ~TqelPendingChildren()
    {
        FItems.clear();
        FLevels.clear();
        if (FLevels.capacity() > KeptEntries || FItems.capacity() > KeptEntries) return;
        FLevels.swap(Kept().Levels);
        FItems.swap(Kept().Items);
    }
    TqelPendingChildren(const TqelPendingChildren&) = delete;
    TqelPendingChildren& operator=(const TqelPendingChildren&) = delete;

    // The children added from now on belong to element, until it is closed.
    void Open(TqelXMLNode2* element) { FLevels.push_back({element, FItems.size()}); }
    // Makes child a child of the innermost open element (setting its Parent); returns it.
    TqelXMLNode2* Add(std::unique_ptr<TqelXMLNode2> child)
    {
        child->Parent = FLevels.back().first;
        FItems.push_back(std::move(child));
        return FItems.back().get();
    }
    // Appends the children of the innermost open element to its list and closes it;
    // returns the element open now, nullptr when none is.
    TqelXMLNode2* Close()
    {
        const auto [element, from] = FLevels.back();
        FLevels.pop_back();
        // The elements still open were made long ago, in memory a deep document has
        // since left the cache: the one that closes a few tags from now is fetched
        // while this one is filled.
        if (FLevels.size() > CloseAhead) __builtin_prefetch(&FLevels[FLevels.size() - CloseAhead].first->Children, 1);
        element->Children.Reserve(static_cast<std::size_t>(element->Children.Count()) + (FItems.size() - from));
        for (std::size_t i = from; i < FItems.size(); ++i) element->Children.Add(std::move(FItems[i]));
        FItems.resize(from);
        return FLevels.empty() ? nullptr : FLevels.back().first;
    }
    // Closes every open element, innermost first, so that the tree holds what was read.
    void CloseAll()
    {
        while (!FLevels.empty()) Close();
    }

private:
    using TLevels = std::vector<std::pair<TqelXMLNode2*, std::size_t>>;
    using TItems = std::vector<std::unique_ptr<TqelXMLNode2>>;
    struct TKept {
        TLevels Levels;
        TItems Items;  // always empty
    };
    static constexpr std::size_t CloseAhead = 4;
    static constexpr std::size_t KeptEntries = std::size_t{1} << 18;  // larger lists are released
    static TKept& Kept()
    {
        thread_local TKept kept;
        return kept;
    }

    TLevels FLevels;  // open elements (not owned) and where their children start
    TItems FItems;    // owned until their element closes
};
