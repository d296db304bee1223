#pragma once
// The rich text a chat bubble shows for a message.

#include <QString>

// Line feeds (with an optional carriage return before them) become "<br>";
// every run that starts with "http://", "https://", "ftp://" or "file://"
// (lower case only) and ends before the next space or line break becomes a
// link to itself. With escape set the text is HTML-escaped first, so that
// markup in it shows as typed: text from the network is escaped, text the
// user typed is not, so that markup typed in a message takes effect. A
// quotation mark in a link address never ends the attribute.
QString chat_messageMarkup(const QString &text, bool escape);
