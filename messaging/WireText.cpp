#include "messaging/WireText.h"

#include <algorithm>

#include "messaging/CommandText.h"
#include "messaging/Mailslot.h"
#include "messaging/ProtocolLimits.h"
#include "util/Utf8Text.h"

namespace {

bool StartsWithMark(std::string_view bytes) { return bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark; }

// A command's verb, with the space after it: what comes after is its
// argument, read as a field of its own.
std::size_t ArgumentStart(std::string_view commandText) {
    const std::size_t space = commandText.find(' ');
    return space == std::string_view::npos ? commandText.size() : space + 1;
}

// The rest of a text whose first chunk, and with it the mark, was lost. It
// is read as UTF-8 when it is that past a character cut at its start: a
// text of an 8-bit page with letters beyond ASCII hardly ever is.
std::string DecodeAfterLostStart(const CCodePage& codePage, std::string_view rest) {
    std::size_t cut = 0;
    while (cut < 3 && cut < rest.size() && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) ++cut;
    const std::string_view body = rest.substr(cut);
    const bool beyondAscii =
        std::any_of(body.begin(), body.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!beyondAscii || !IsValidUtf8(body)) return codePage.ToUtf8(rest);
    std::string text;
    if (cut) AppendUtf8(text, kReplacementCharacter);
    text += body;
    return text;
}

}  // namespace

std::string EncodeWireField(const CCodePage& codePage, std::string_view utf8) {
    // A text in the page that begins with the bytes of the mark ("ï»¿" in
    // 1252) would read as marked: it goes as UTF-8, which reads back right.
    if (auto bytes = codePage.FromUtf8(utf8); bytes && !StartsWithMark(*bytes)) return std::move(*bytes);
    std::string marked(kUtf8Mark);
    marked += ValidUtf8(utf8);
    return marked;
}

std::string DecodeWireField(const CCodePage& codePage, std::string_view bytes) {
    if (StartsWithMark(bytes)) return ValidUtf8(bytes.substr(kUtf8Mark.size()));
    return codePage.ToUtf8(bytes);
}

std::string EncodeComputerName(const CCodePage& codePage, std::string_view utf8) {
    // Names are ASCII in practice; one the page lacks goes as it is.
    return codePage.FromUtf8(utf8).value_or(ValidUtf8(utf8));
}

CWireFields EncodeWireFields(const CCodePage& codePage, std::string_view sender, std::string_view text) {
    CWireFields fields;
    fields.user = EncodeWireField(codePage, sender);
    if (sender == std::string_view(kCommandMarker)) {
        const std::size_t argument = ArgumentStart(text);
        fields.text = EncodeComputerName(codePage, text.substr(0, argument));
        if (argument < text.size()) fields.text += EncodeWireField(codePage, text.substr(argument));
    } else {
        fields.text = EncodeWireField(codePage, text);
    }
    return fields;
}

std::size_t WireTextBytes(const CCodePage& codePage, std::string_view sender, std::string_view text) {
    return EncodeWireFields(codePage, sender, text).text.size();
}

void DecodeWireFields(const CCodePage& codePage, CMessageRecord& record) {
    record.computer = codePage.ToUtf8(record.computer);
    record.user = DecodeWireField(codePage, record.user);
    if (IsCommandRecord(record)) {
        const std::size_t argument = ArgumentStart(record.text);
        std::string text = codePage.ToUtf8(std::string_view(record.text).substr(0, argument));
        text += DecodeWireField(codePage, std::string_view(record.text).substr(argument));
        record.text = std::move(text);
        return;
    }
    const std::string_view text = record.text;
    if (text.substr(0, kMissingPartMarker.size()) == kMissingPartMarker) {
        record.text = std::string(kMissingPartMarker) + DecodeAfterLostStart(codePage, text.substr(kMissingPartMarker.size()));
        return;
    }
    record.text = DecodeWireField(codePage, record.text);
}

bool SendWireMessage(CMailslot& endpoint, const CCodePage& codePage, const std::string& target,
                     std::string_view sender, std::string_view text, bool retry) {
    const CWireFields fields = EncodeWireFields(codePage, sender, text);
    return endpoint.Send(target.c_str(), fields.user.c_str(), fields.text.c_str(), retry);
}
