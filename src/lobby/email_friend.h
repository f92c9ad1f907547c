#pragma once

#include <QString>

namespace brivamo {

// The text that follows "mailto:" in the message recommending the program to a friend: no
// recipient, a subject and a body of four paragraphs. Characters go in as they are; only the
// paragraph breaks are encoded, each as "%0D%0A%0D%0A".
QString EmailFriendText();

} // namespace brivamo
