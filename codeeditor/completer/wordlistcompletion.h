#pragma once

class QCompleter;
class QString;

// Gives the completer a model over every word of the compiled-in word list at
// resource, section by section in key order and word by word in document
// order (not sorted), and sets it to match case-sensitively and to wrap
// around. A list that cannot be opened or read leaves the completer without
// a model.
void setWordListModel(QCompleter* completer, const QString& resource);
