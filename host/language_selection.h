// Choosing the text and speech languages: the Steam client's locale (with the
// "Es"/"El" rule), then each checked against the mounted data with a fallback.
#pragma once

#include "host/modules/engine_module.h"

// locale enters as game.ini's value (or empty) and leaves as the language to
// use; speech leaves as the speech language to use.
void SelectLanguages(Mount::IMountHelper& mount_helper, string_base& locale, string_base& speech);
