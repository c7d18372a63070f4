#include "chattext/OpenLink.h"

#include <vector>

#include "chattext/OpenSelection.h"

namespace {

constexpr std::string_view kMailto = "mailto:";
constexpr std::string_view kQuotedPlaceholder = "\"%1\"";
constexpr std::string_view kPlaceholder = "%1";

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

bool IsNetworkPath(std::string_view text) { return StartsWith(text, "\\\\"); }

std::string OpenLinkFailureText(std::string_view text) {
    if (StartsWith(text, kMailto))
        return "Mivlet could not find a mail program installed on your computer.  You can send an e-mail to this "
               "address at\r\n" +
               std::string(text.substr(kMailto.size()));
    if (IsNetworkPath(text))
        return "Mivlet could not find the network path\r\nspecified.  Please verify the path and try again.";
    return "Mivlet could not find a web browser on your computer.  You can visit this site at\r\n" + std::string(text);
}

std::string BrowserCommandLine(std::string_view commandTemplate, std::string_view text) {
    std::size_t cut = commandTemplate.find(kQuotedPlaceholder);
    if (cut == std::string_view::npos) cut = commandTemplate.find(kPlaceholder);
    std::string line(commandTemplate.substr(0, cut));
    line += ' ';
    line += text;
    return line;
}

bool CLinkOpener::OpenLink(const std::string& text, bool showErrors) {
    if (!IsNetworkPath(text) || m_shell.PathExists(text)) {
        if (OpenWithBrowser(text)) return true;
    }
    if (showErrors) m_host.ShowMessage(OpenLinkFailureText(text));
    return false;
}

bool CLinkOpener::OpenWithBrowser(const std::string& text) {
    if (m_shell.OpenWithShell(text, m_host.MainWindow())) return true;
    const std::string fileType = ReadClassesDefault(".htm");
    if (fileType.empty()) return false;
    const std::string commandTemplate = ReadClassesDefault(fileType + "\\shell\\open\\command");
    if (commandTemplate.empty()) return false;
    return m_shell.RunCommandLine(BrowserCommandLine(commandTemplate, text));
}

std::string CLinkOpener::ReadClassesDefault(const std::string& path) {
    const CRegistryKeyHandle key(m_registry, m_registry.OpenClassesKey(path));
    if (!key.IsValid()) return {};
    std::vector<char> buffer(kMaxRegistryText + 1, '\0');
    auto size = static_cast<std::uint32_t>(kMaxRegistryText);
    if (!m_registry.QueryValue(key.Get(), "", nullptr, buffer.data(), &size)) return {};
    return std::string(buffer.data());
}

COpenPlan CLinkOpener::Plan(const std::string& text, EOpenOrigin origin, const std::string& sender) {
    return PlanOpen(text, origin, sender, m_shell.ProgramExtensions());
}

void CLinkOpener::OfferFolder(const COpenPlan& plan) {
    if (plan.programPath.empty()) {
        m_host.ShowMessage(plan.question);
        return;
    }
    if (m_host.Ask(plan.question)) m_shell.ShowInFolder(plan.programPath);
}

bool CLinkOpener::OpenMessageLink(const std::string& text, const std::string& sender) {
    const COpenPlan plan = Plan(text, EOpenOrigin::LinkClick, sender);
    switch (plan.step) {
    case COpenPlan::EStep::OpenAtOnce: return OpenLink(plan.target, true);
    case COpenPlan::EStep::AskFirst: return m_host.Ask(plan.question) && OpenLink(plan.target, true);
    case COpenPlan::EStep::RefuseProgram: OfferFolder(plan); return false;
    }
    return false;
}

bool CLinkOpener::OpenSelectedName(const std::string& text, const std::string& sender, WindowRef owner) {
    const COpenPlan plan = Plan(text, EOpenOrigin::OpenCommand, sender);
    if (plan.step == COpenPlan::EStep::RefuseProgram) {
        OfferFolder(plan);
        return false;
    }
    if (!m_host.Ask(plan.question)) return false;
    if (m_shell.OpenWithShell(plan.target, owner)) return true;
    m_host.ShowMessage(OpenSelectionFailureText(text));
    return false;
}
