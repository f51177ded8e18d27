#pragma once
// The verbs of brindle-cli. Each returns the exit status or raises ECliUsage,
// ECliFailure or an engine error, which the command line turns into a message.

#include "cli/CliArguments.h"

int VerbParse(const TCliArguments& args, TCliStreams& io);
int VerbWrite(const TCliArguments& args, TCliStreams& io);
int VerbFragment(const TCliArguments& args, TCliStreams& io);
int VerbEval(const TCliArguments& args, TCliStreams& io);
int VerbSelect(const TCliArguments& args, TCliStreams& io);
int VerbTransform(const TCliArguments& args, TCliStreams& io);
// XPath 1.0 and XSLT 1.0.
int VerbXPath(const TCliArguments& args, TCliStreams& io);
int VerbXslt(const TCliArguments& args, TCliStreams& io);
int VerbXel(const TCliArguments& args, TCliStreams& io);
int VerbTable(const TCliArguments& args, TCliStreams& io);
// The edit verbs: one change to element --at N, then the whole document to -o OUT,
// standard output, or back to FILE with --in-place.
int VerbSetAttribute(const TCliArguments& args, TCliStreams& io);
int VerbRemoveAttribute(const TCliArguments& args, TCliStreams& io);
int VerbSetText(const TCliArguments& args, TCliStreams& io);
int VerbRename(const TCliArguments& args, TCliStreams& io);
int VerbAddChild(const TCliArguments& args, TCliStreams& io);
int VerbDelete(const TCliArguments& args, TCliStreams& io);
