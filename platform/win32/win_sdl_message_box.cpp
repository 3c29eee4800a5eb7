// win_sdl_message_box.cpp - the modal message box of the SDL back end.
//
// SDL's X11 message box draws with the fonts of the locale that the environment names (it calls
// setlocale(LC_ALL, "") while the box is up). Under a locale that is not UTF-8 (e.g. plain "C")
// letters such as "ł" would be missing, so the box then runs with LC_ALL=C.UTF-8, and the
// environment is restored afterwards.
#include "platform/win32/win_message_box.h"
#include "platform/win32/win_sdl.h"

#include <SDL.h>

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

const UINT icon_mask = 0xF0;
const UINT icon_hand = 0x10;
const UINT icon_exclamation = 0x30;
const UINT icon_information = 0x40;

bool environment_locale_is_utf8() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return false;
    const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
    freelocale(locale);
    return utf8;
}

// Sets LC_ALL=C.UTF-8 for its lifetime when the environment's locale is not UTF-8.
class utf8_environment {
public:
    utf8_environment() {
        if (environment_locale_is_utf8()) return;
        const char* previous = std::getenv("LC_ALL");
        if (previous != nullptr) previous_ = std::string(previous);
        changed_ = setenv("LC_ALL", "C.UTF-8", 1) == 0;
    }
    ~utf8_environment() {
        if (!changed_) return;
        if (previous_) {
            setenv("LC_ALL", previous_->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }
    utf8_environment(const utf8_environment&) = delete;
    utf8_environment& operator=(const utf8_environment&) = delete;

private:
    std::optional<std::string> previous_;
    bool changed_ = false;
};

Uint32 box_flags(UINT type) {
    switch (type & icon_mask) {
    case icon_hand: return SDL_MESSAGEBOX_ERROR;
    case icon_exclamation: return SDL_MESSAGEBOX_WARNING;
    case icon_information: return SDL_MESSAGEBOX_INFORMATION;
    default: return 0;
    }
}

}  // namespace

int win_sdl_message_box(SDL_Window* parent, const std::string& text_utf8, const std::string& caption_utf8, UINT type) {
    const win_message_box_buttons buttons = win_message_box_buttons_of(type);
    SDL_MessageBoxButtonData data[3]{};
    for (int i = 0; i < buttons.count; ++i) {
        Uint32 flags = 0;
        if (i == buttons.default_index) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons.ids[i] == buttons.escape_id) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data[i] = SDL_MessageBoxButtonData{flags, buttons.ids[i], buttons.labels[i]};
    }
    const SDL_MessageBoxData box{box_flags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                 parent,
                                 caption_utf8.c_str(),
                                 text_utf8.c_str(),
                                 buttons.count,
                                 data,
                                 nullptr};
    int pressed = 0;
    int shown = -1;
    {
        utf8_environment utf8;
        shown = SDL_ShowMessageBox(&box, &pressed);
    }
    if (shown != 0) {
        std::fprintf(stderr, "%s: %s\n(message box unavailable: %s)\n", caption_utf8.c_str(), text_utf8.c_str(),
                     SDL_GetError());
        return 0;
    }
    // Closed without a button (Esc without an Esc button, the window manager's close): the
    // platform's box cannot be closed so; answer as Esc would, or with the default button.
    if (pressed < 0) return buttons.escape_id != 0 ? buttons.escape_id : buttons.ids[buttons.default_index];
    return pressed;
}
