#include "TessaroSwitches.h"

#include "Switches.h"

// Only "K" means anything here; Quimbex's "F", "O" and "N" pass unnoticed.
void ParseTessaroSwitches(const CString& tail, int32_t& nCommand) {
    ForEachSwitch(tail, [&nCommand](const CString& key, const CString& value) {
        if (key == "K")
            nCommand = ParseLeadingNumber(value);
    });
}
