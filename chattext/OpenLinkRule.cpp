#include "chattext/OpenLinkRule.h"

#include <vector>

#include "util/AsciiText.h"

namespace {

constexpr std::string_view kFileScheme = "file:";

bool IsSchemeCharacter(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The length of the URL scheme `text` begins with, ":" included; 0 for a
// path. One letter before ":" is a drive, not a scheme.
std::size_t SchemeLength(std::string_view text) {
    if (text.empty() || !IsAsciiLetter(text[0])) return 0;
    std::size_t at = 1;
    while (at < text.size() && IsSchemeCharacter(text[at])) ++at;
    return at >= 2 && at < text.size() && text[at] == ':' ? at + 1 : 0;
}

bool IsWebOrMail(std::string_view text) {
    return StartsWithNoCaseAscii(text, "http:") || StartsWithNoCaseAscii(text, "https:") ||
           StartsWithNoCaseAscii(text, "mailto:");
}

bool IsDrivePath(std::string_view path) { return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':'; }
bool IsNetworkPathText(std::string_view path) { return path.substr(0, 2) == "\\\\"; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiToLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// %XX escapes decoded, as the shell decodes a file URL; a "%" not followed
// by two hexadecimal digits stays.
std::string DecodeEscapes(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The extension of a file name as Windows takes it: "a.exe." and "a.exe "
// name a.exe.
std::string ExtensionOfName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : LowerAscii(name.substr(dot));
}

// The last name of `path`, without a drive.
std::string_view LastName(std::string_view path) {
    if (const std::size_t slash = path.find_last_of("\\/"); slash != std::string_view::npos)
        return path.substr(slash + 1);
    return IsDrivePath(path) ? path.substr(2) : path;
}

// "a.exe:stream" is a stream of a.exe; "a.txt:b.exe" a stream that the
// shell might take for a program by its own extension: both count.
std::vector<std::string> ExtensionsOf(std::string_view path) {
    const std::string_view name = LastName(path);
    std::vector<std::string> extensions{ExtensionOfName(name)};
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
        extensions.push_back(ExtensionOfName(name.substr(0, colon)));
    return extensions;
}

bool ListHolds(std::string_view list, std::string_view extension) {
    while (!list.empty()) {
        const std::size_t end = list.find(';');
        const std::string_view entry = TrimAsciiSpace(list.substr(0, end));
        if (!entry.empty() && EqualsNoCaseAscii(entry, extension)) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

std::string FromWhom(std::string_view sender) {
    return sender.empty() ? std::string("another computer") : std::string(sender);
}

constexpr std::string_view kAnyName =
    "Anyone on the network can send a message under any computer's name.";

std::string AskText(const std::string& target, EOpenOrigin origin, std::string_view sender) {
    std::string text = origin == EOpenOrigin::LinkClick ? "This link came in a message from "
                                                        : "This name came in a message from ";
    text += FromWhom(sender) + ":\r\n\r\n" + target + "\r\n\r\n";
    if (IsNetworkPathText(target)) text += "Opening it also gives that computer your network logon.  ";
    text += kAnyName;
    text += "  Open it only if you expected it.\r\n\r\nOpen it?";
    return text;
}

std::string RefuseText(const std::string& path, std::string_view sender, bool offerFolder) {
    std::string text = "\"" + path + "\", in a message from " + FromWhom(sender) +
                       ", is a program or a script.  Mivlet never starts one from a message.  ";
    text += kAnyName;
    if (offerFolder) text += "\r\n\r\nShow the folder that holds it?  You can look at it there, and start it yourself "
                             "if you trust it.";
    return text;
}

}  // namespace

std::string FilePathOf(std::string_view target) {
    const std::size_t scheme = SchemeLength(target);
    if (scheme == 0) return std::string(target);
    if (!StartsWithNoCaseAscii(target, kFileScheme)) return {};
    std::string path = DecodeEscapes(target.substr(kFileScheme.size()));
    for (char& c : path)
        if (c == '/') c = '\\';
    const std::size_t slashes = path.find_first_not_of('\\');
    if (slashes == std::string::npos) return path;
    const std::string rest = path.substr(slashes);
    if (IsDrivePath(rest)) return rest;      // file:///C:/..., file:/C:/...
    if (slashes >= 2) return "\\\\" + rest;  // file://HOST/share/..., file:\\HOST\share\...
    return path;
}

bool IsProgramPath(std::string_view path, std::string_view pathExt) {
    for (const std::string& extension : ExtensionsOf(path))
        if (!extension.empty() && (ListHolds(kProgramExtensions, extension) || ListHolds(pathExt, extension)))
            return true;
    return false;
}

COpenPlan PlanOpen(std::string_view target, EOpenOrigin origin, std::string_view sender, std::string_view pathExt) {
    COpenPlan plan;
    plan.target = std::string(target);
    if (IsWebOrMail(target)) {
        if (origin == EOpenOrigin::LinkClick) {
            plan.step = COpenPlan::EStep::OpenAtOnce;
            return plan;
        }
        plan.question = AskText(plan.target, origin, sender);
        return plan;
    }

    const bool isFileUrl = StartsWithNoCaseAscii(target, kFileScheme);
    const std::string path = FilePathOf(target);
    if (!path.empty()) {
        // A "?" cannot be in a file name; the shell may read a file URL's
        // query or fragment as not part of the name.
        std::vector<std::string> names{path};
        if (isFileUrl) {
            for (const char cut : {'?', '#'})
                if (const std::size_t at = path.find(cut); at != std::string::npos) names.push_back(path.substr(0, at));
        }
        for (const std::string& name : names) {
            if (!IsProgramPath(name, pathExt)) continue;
            plan.step = COpenPlan::EStep::RefuseProgram;
            const bool hasFolder = IsDrivePath(name) || IsNetworkPathText(name);
            if (hasFolder) plan.programPath = name;
            plan.question = RefuseText(name, sender, hasFolder);
            return plan;
        }
        // What the user agrees to is what the shell is given. A name without
        // an extension opens only as a folder: the shell would otherwise try
        // the program extensions after it.
        plan.target = path;
        if (ExtensionOfName(LastName(path)).empty() && !path.empty() && path.back() != '\\' && path.back() != ':')
            plan.target += '\\';
    }
    plan.question = AskText(plan.target, origin, sender);
    return plan;
}
