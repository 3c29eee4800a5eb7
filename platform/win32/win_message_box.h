// win_message_box.h - the buttons of a message box type, as every back end shows them.
#pragma once

#include <windows.h>

struct win_message_box_buttons {
    int count;
    int ids[3];             // IDOK ..., left to right
    const char* labels[3];  // as shown (English)
    int default_index;      // the button Return presses (MB_DEFBUTTONn; the first when n is beyond)
    int escape_id;          // what Esc answers: IDCANCEL with a Cancel button, IDOK for MB_OK, else 0
};

// The buttons of MB_OK ... MB_CANCELTRYCONTINUE with the type's default button.
win_message_box_buttons win_message_box_buttons_of(UINT type);
