#pragma once
// The form of text on the wire. Older copies write every text in the
// system's code page, and a copy still does for each field whose
// characters all exist there, byte for byte as before. A field that holds
// a character outside the page goes as UTF-8 after the byte order mark,
// which marks that field alone. The fields are the user-name field and the
// message text; of a command, only its argument (the verb and the command
// marker are ASCII). Computer names are never marked.
//
// Receivers join the chunks of a message as bytes and read the fields once
// it is whole, since a chunk may end inside a character.

#include <string>
#include <string_view>

#include "messaging/MessageRecord.h"
#include "platform/CodePage.h"

class CMailslot;

// One field of UTF-8 text as it is sent.
std::string EncodeWireField(const CCodePage& codePage, std::string_view utf8);
// One field as received, in UTF-8; what is not UTF-8 after the mark reads
// as U+FFFD.
std::string DecodeWireField(const CCodePage& codePage, std::string_view bytes);

// A computer name: in the code page, never marked.
std::string EncodeComputerName(const CCodePage& codePage, std::string_view utf8);

// The user-name field and the text of one message, as they are sent.
struct CWireFields {
    std::string user;
    std::string text;
};
CWireFields EncodeWireFields(const CCodePage& codePage, std::string_view sender, std::string_view text);

// The bytes `text` takes on the wire as the text of a message from `sender`:
// what the limits on the length of a message count.
std::size_t WireTextBytes(const CCodePage& codePage, std::string_view sender, std::string_view text);

// A record as the endpoint joined it (fields in wire form), in UTF-8.
void DecodeWireFields(const CCodePage& codePage, CMessageRecord& record);

// Sends a message whose target, sender and text are UTF-8; see
// CMailslot::Send.
bool SendWireMessage(CMailslot& endpoint, const CCodePage& codePage, const std::string& target,
                     std::string_view sender, std::string_view text, bool retry);
