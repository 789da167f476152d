#pragma once
// The font and colour dialogs, with their library loaded only when one of them opens.
// Importing comdlg32 would load it at start together with what it imports: the printing
// stack (winspool; under Wine also CUPS and its TLS and Kerberos libraries), megabytes
// held all day for two dialogs a user opens now and then.
#include <windows.h>
#include <commdlg.h>

namespace ks::win {

// ChooseFontW and ChooseColorA (a colour has no text); false when the user cancels or the
// library is missing.
bool PickFont(CHOOSEFONTW& cf);
bool PickColor(CHOOSECOLORA& cc);

}  // namespace ks::win
