// k7ctl: applies, checks, plans and exports text profiles for the K7 keyboard, and talks to
// the running agent in place of the configuration program.
#include "AgentSession.h"
#include "ApplyMonitor.h"
#include "Plan.h"
#include "ProfileJson.h"
#include "RegistryValues.h"
#include "StoredEncoding.h"
#include "app/ModulePath.h"
#include "driver/CUSBDriver.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/ButtonPositions.h"

#include "K7Version.h"

#include <CLI/CLI.hpp>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

struct Options {
    std::string profile;
    std::string output;
    std::string layout;
    unsigned timeout = 10;
    bool json = false;
    bool yes = false;
    int rate = 8;
};

std::filesystem::path LayoutPath(const Options& o) {
    if (!o.layout.empty()) return o.layout;
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::u16string path = SiblingFilePath(reinterpret_cast<const char16_t*>(module), u"ButtonPos", u"xml");
    return std::filesystem::path(reinterpret_cast<const wchar_t*>(path.c_str()));
}

// The keyboard's key names, from the layout file the agent ships.
bool LoadLayout(const Options& o, ButtonPosTable& layout) {
    const std::filesystem::path path = LayoutPath(o);
    LoadButtonPositions(reinterpret_cast<const char16_t*>(path.wstring().c_str()), layout);
    if (!layout[0].name.empty()) return true;
    std::fprintf(stderr, "k7ctl: cannot read the key layout %s\n", path.string().c_str());
    return false;
}

bool ReadFileText(const std::string& path, std::string& text) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    text = s.str();
    return true;
}

// Reads and checks a profile; prints every error. ExitOk when it is valid.
int LoadProfile(const Options& o, const ButtonPosTable& layout, Profile& profile) {
    std::string text;
    if (!ReadFileText(o.profile, text)) {
        std::fprintf(stderr, "k7ctl: cannot read %s\n", o.profile.c_str());
        return ExitInvalid;
    }
    const std::vector<std::string> errors = ReadProfile(text, o.profile, layout, profile);
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    return errors.empty() ? ExitOk : ExitInvalid;
}

int AssignedKeys(const Profile& p) {
    return static_cast<int>(
        std::ranges::count_if(p.keys, [](const KeyFunction& f) { return f.type != AssignDefault; }));
}

int Summary(const Options& o, const Profile& p) {
    std::printf("%s: valid: %d keys assigned, %zu macros, %zu combinations, rate %d\n", o.profile.c_str(),
                AssignedKeys(p), p.macros.size(), p.combinations.size(), p.rate);
    return ExitOk;
}

// Applies what the registry now holds and sends the rate; `profile` explains any reset.
int ApplyStored(const Options& o, const Profile& profile, const ButtonPosTable& layout, CAgentSession& session) {
    CApplyMonitor monitor(profile, layout);
    const int result = session.Apply(monitor);
    if (result == ExitClosed || result == ExitTimeout) return result;
    if (!session.SetReportRate(profile.rate)) {
        std::fprintf(stderr, "k7ctl: the agent did not take the report rate within %u s\n", o.timeout);
        return ExitTimeout;
    }
    if (result == ExitOk) std::printf("applied; report rate %d\n", profile.rate);
    return result;
}

int Apply(const Options& o) {
    ButtonPosTable layout;
    Profile profile;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    if (const int rc = LoadProfile(o, layout, profile); rc != ExitOk) return rc;
    CAgentSession session(o.timeout * 1000);
    if (const int rc = session.Connect(); rc != ExitOk) {
        std::fprintf(stderr, "k7ctl: nothing was written\n");
        return rc;
    }
    CWin32Registry registry;
    if (!WriteProfile(registry, profile, layout)) {
        std::fprintf(stderr, "k7ctl: cannot write HKEY_CURRENT_USER\\Software\\Orvex\\K7\n");
        return ExitRegistry;
    }
    return ApplyStored(o, profile, layout, session);
}

int Check(const Options& o) {
    ButtonPosTable layout;
    Profile profile;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    if (const int rc = LoadProfile(o, layout, profile); rc != ExitOk) return rc;
    return Summary(o, profile);
}

int ShowPlan(const Options& o) {
    ButtonPosTable layout;
    Profile profile;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    if (const int rc = LoadProfile(o, layout, profile); rc != ExitOk) return rc;
    const ApplyPlan plan = PlanApply(profile, layout);
    const std::string text = o.json ? PlanToJson(plan, profile, layout) : FormatPlan(plan, profile, layout);
    std::fputs(text.c_str(), stdout);
    return ExitOk;
}

std::unique_ptr<StoredSettings> ReadStored(IRegistry& registry) {
    std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    if (!stored)
        std::fprintf(stderr,
                     "k7ctl: nothing is stored yet (HKEY_CURRENT_USER\\Software\\Orvex\\K7 does not exist); "
                     "the agent creates it when it starts\n");
    return stored;
}

int Export(const Options& o) {
    ButtonPosTable layout;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    CWin32Registry registry;
    const std::unique_ptr<StoredSettings> stored = ReadStored(registry);
    if (!stored) return ExitRegistry;
    std::vector<std::string> warnings;
    const std::string text = ProfileToJson(ProfileFromStored(*stored, layout, warnings), layout);
    for (const std::string& w : warnings) std::fprintf(stderr, "k7ctl: warning: %s\n", w.c_str());
    if (o.output.empty()) {
        std::fputs(text.c_str(), stdout);
        return ExitOk;
    }
    std::ofstream f(std::filesystem::path(o.output), std::ios::binary);
    if (!(f << text)) {
        std::fprintf(stderr, "k7ctl: cannot write %s\n", o.output.c_str());
        return ExitInvalid;
    }
    return ExitOk;
}

int Rate(const Options& o) {
    CAgentSession session(o.timeout * 1000);
    if (const int rc = session.Connect(); rc != ExitOk) return rc;
    CWin32Registry registry;
    if (std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry)) {
        stored->rate = o.rate;  // so that an export shows the rate the keyboard has
        WriteStoredSettings(registry, *stored);
    }
    if (!session.SetReportRate(o.rate)) {
        std::fprintf(stderr, "k7ctl: the agent did not answer within %u s\n", o.timeout);
        return ExitTimeout;
    }
    std::printf("report rate %d sent\n", o.rate);
    return ExitOk;
}

int Factory(const Options& o) {
    if (!o.yes) {
        std::fprintf(stderr,
                     "k7ctl: factory puts the keyboard's factory key table back and clears its macros and "
                     "combinations; the stored settings stay. Add --yes to do it.\n");
        return ExitInvalid;
    }
    CAgentSession session(o.timeout * 1000);
    if (const int rc = session.Connect(); rc != ExitOk) return rc;
    if (!session.RestoreFactory()) {
        std::fprintf(stderr, "k7ctl: the agent did not answer within %u s\n", o.timeout);
        return ExitTimeout;
    }
    std::printf("factory state restored on the keyboard\n");
    return ExitOk;
}

int Quit(const Options& o) {
    CAgentSession session(o.timeout * 1000);
    if (const int rc = session.Connect(); rc != ExitOk) return rc;
    if (!session.Quit()) {
        std::fprintf(stderr, "k7ctl: the agent did not close within %u s\n", o.timeout);
        return ExitTimeout;
    }
    std::printf("the agent is closing\n");
    return ExitOk;
}

bool KeyboardPresent() {
    // Read access only, sharing everything, so that the agent's own handle is not disturbed.
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(DEVICE_PATH), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

int Status(const Options& o) {
    ButtonPosTable layout;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    const bool agent = AgentRunning();
    const bool keyboard = KeyboardPresent();
    std::printf("agent:    %s\n", agent ? "running" : "not running");
    std::printf("keyboard: %s\n", keyboard ? "present" : "not found");
    CWin32Registry registry;
    const std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    if (!stored) {
        std::printf("stored:   nothing yet\n");
        return ExitOk;
    }
    std::vector<std::string> warnings;
    const Profile p = ProfileFromStored(*stored, layout, warnings);
    std::printf("stored:   %d keys assigned, %zu macros, %zu combinations, rate %d%s\n", AssignedKeys(p),
                p.macros.size(), p.combinations.size(), p.rate,
                warnings.empty() ? "" : " (and values a profile cannot express)");
    return ExitOk;
}

int RestoreBackupCommand(const Options& o) {
    ButtonPosTable layout;
    if (!LoadLayout(o, layout)) return ExitInvalid;
    CWin32Registry registry;
    if (!RestoreBackup(registry)) {
        std::fprintf(stderr, "k7ctl: there is no backup to restore\n");
        return ExitRegistry;
    }
    std::printf("the values stored before the last apply are back\n");
    if (!AgentRunning()) return ExitOk;
    const std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    std::vector<std::string> warnings;
    const Profile profile = ProfileFromStored(*stored, layout, warnings);
    CAgentSession session(o.timeout * 1000);
    if (const int rc = session.Connect(); rc != ExitOk) return rc;
    return ApplyStored(o, profile, layout, session);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    CLI::App app{"k7ctl: text profiles for the K7 keyboard, applied through the running agent"};
    app.require_subcommand(1);
    app.allow_windows_style_options(false);  // "/tmp/x.json" is a path, not an option
    app.set_version_flag("--version", "k7ctl " K7_VERSION_STRING);
    app.add_option("--layout", o.layout, "the keyboard's layout file (default: ButtonPos.xml beside k7ctl.exe)");
    app.add_option("--timeout", o.timeout, "seconds to wait for the agent (default 10)")->check(CLI::Range(1, 600));

    CLI::App* apply = app.add_subcommand("apply", "check a profile, store it and have the agent apply it");
    apply->add_option("PROFILE", o.profile, "profile file (JSON)")->required();
    CLI::App* check = app.add_subcommand("check", "check a profile; nothing is written");
    check->add_option("PROFILE", o.profile, "profile file (JSON)")->required();
    CLI::App* plan = app.add_subcommand("plan", "show what applying a profile sends to a factory-state keyboard");
    plan->add_option("PROFILE", o.profile, "profile file (JSON)")->required();
    plan->add_flag("--json", o.json, "print the plan as JSON");
    CLI::App* exp = app.add_subcommand("export", "write the stored settings as a profile");
    exp->add_option("FILE", o.output, "output file (default: standard output)");
    CLI::App* rate = app.add_subcommand("rate", "set the keyboard's report rate");
    rate->add_option("CODE", o.rate, "1, 2 or 8")->required()->check(CLI::IsMember({1, 2, 8}));
    CLI::App* factory = app.add_subcommand("factory", "restore the keyboard's factory state");
    factory->add_flag("--yes", o.yes, "confirm");
    CLI::App* status = app.add_subcommand("status", "agent, keyboard and what is stored");
    CLI::App* quit = app.add_subcommand("quit", "end the agent (WM_CLOSE to its window)");
    CLI::App* restore = app.add_subcommand("restore-backup", "bring back the values stored before the last apply");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? ExitOk : ExitInvalid;
    }
    if (*apply) return Apply(o);
    if (*check) return Check(o);
    if (*plan) return ShowPlan(o);
    if (*exp) return Export(o);
    if (*rate) return Rate(o);
    if (*factory) return Factory(o);
    if (*status) return Status(o);
    if (*quit) return Quit(o);
    if (*restore) return RestoreBackupCommand(o);
    return ExitInvalid;
}
