#pragma once

#include <QLatin1StringView>
#include <array>

// Fixed lists that classify a focused target. Order matters where a list is scanned for the first
// match; the others are sets.
namespace quorvelle::FocusedTargetTables {

using L1 = QLatin1StringView;

inline constexpr std::array textInputRoles{L1("AXTextField"), L1("AXTextArea"), L1("AXComboBox")};

inline constexpr std::array webContentRoles{L1("AXGroup"), L1("AXUnknown"), L1("AXWebArea")};

inline constexpr std::array terminalAppBundleIdentifiers{L1("com.mitchellh.ghostty"), L1("dev.warp.Warp-Stable"),
                                                         L1("com.apple.Terminal"), L1("com.googlecode.iterm2")};

// X11 window classes of terminals whose names the keywords below miss (or would match everywhere,
// as "st" would); compared whole, without regard to case. Debian's X terminals that take Control+V as
// a control character and paste with Control+Shift+V: KDE's (Konsole, and Yakuake, which embeds it),
// the VTE ones not named "terminal", the EFL and QML ones. A window off the accessibility bus is known
// by its class alone.
inline constexpr std::array terminalWindowClasses{
    L1("xterm"),  L1("uxterm"),     L1("urxvt"),       L1("rxvt"),           L1("st"),         L1("st-256color"),
    L1("foot"),   L1("footclient"), L1("konsole"),     L1("yakuake"),        L1("terminator"), L1("tilix"),
    L1("sakura"), L1("termit"),     L1("terminology"), L1("cool-retro-term")};

// Terminals that paste the clipboard with Control+Alt+V, typing Control+V and Control+Shift+V as
// themselves (rxvt-unicode; a subset of the above).
inline constexpr std::array controlAltPasteTerminalWindowClasses{L1("urxvt")};

// Terminals that paste only the primary selection, with Shift+Insert (a subset of the above).
inline constexpr std::array primarySelectionTerminalWindowClasses{L1("xterm"), L1("uxterm")};

// X11 window classes of applications whose fields show a direct write and then drop it (Calc commits
// its cell from its own input line); compared whole, without regard to case.
inline constexpr std::array directWriteDroppingWindowClasses{L1("libreoffice-calc")};

// Terminals that paste only the kinds of data they already know the clipboard holds, and forget them
// whenever its owner changes (GNOME Terminal asks again and ignores its paste chord until the answer
// came): the chord waits until they asked.
inline constexpr std::array clipboardTargetsFirstWindowClasses{L1("gnome-terminal")};

// Windows that ask for a password: a window that cannot be looked into is treated as a secure
// field when its name or class contains one of these.
inline constexpr std::array passwordPromptWindowKeywords{L1("pinentry"), L1("askpass"), L1("polkit"), L1("policykit"),
                                                         L1("gcr-prompter")};

inline constexpr std::array terminalAppKeywords{L1("ghostty"), L1("warp"),      L1("terminal"),   L1("iterm"),
                                                L1("wezterm"), L1("alacritty"), L1("kitty"),      L1("hyper"),
                                                L1("tabby"),   L1("rio"),       L1("bridgespace")};

inline constexpr std::array terminalElementKeywords{L1("terminal"), L1("console"),      L1("shell"),
                                                    L1("repl"),     L1("command line"), L1("commandline"),
                                                    L1("cli"),      L1("codex"),        L1("prompt")};

inline constexpr std::array clipboardPasteAppKeywords{L1("electron"), L1("slack"),    L1("discord"),
                                                      L1("notion"),   L1("linear"),   L1("cursor"),
                                                      L1("vscode"),   L1("obsidian"), L1("figma")};

inline constexpr QLatin1StringView secureTextFieldSubrole = L1("AXSecureTextField");
inline constexpr QLatin1StringView terminalSubrole = L1("AXTerminal");
inline constexpr QLatin1StringView textAreaRole = L1("AXTextArea");
inline constexpr QLatin1StringView groupRole = L1("AXGroup");
// What a terminal widget without a text interface is named after (GTK 4 names an unlabelled widget
// by its class: VteTerminal, KgxTerminal).
inline constexpr QLatin1StringView terminalWidgetKeyword = L1("terminal");
inline constexpr QLatin1StringView searchFieldSubrole = L1("AXSearchField");
inline constexpr QLatin1StringView unknownRole = L1("AXUnknown");

}  // namespace quorvelle::FocusedTargetTables
