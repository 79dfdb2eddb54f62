#pragma once

// xlhost's own standard error, kept apart from the add-in's. The add-in redirects the process's error stream
// to its diagnostic sink once it opens and writes its diagnostic lines to the standard error; xlhost's
// messages must reach the user whole whatever the add-in did, and the add-in's lines only when asked for.

#include <string_view>

namespace xlhost {

// Keeps a copy of the standard error for xlhost's own messages (and the sanitizers' reports); unless
// showAddInLines, whatever is written to the standard error itself is dropped from then on.
void separateErrorStreams(bool showAddInLines);
// Gives the standard error back as it was; xlhost's messages go there again.
void rejoinErrorStreams();
// Writes the text to xlhost's own error stream in one piece, a line end added when missing.
void reportError(std::string_view text);

} // namespace xlhost
