#pragma once

struct COpenBook;

// Excel's question whether to save a changed workbook that closes without
// being told.  The stand-in is invisible like the programs' Excel: unless
// somebody finds the box and answers it, the question never returns, and
// neither does the call that asked it.
class CSavePrompt {
public:
    enum Answer { save, dontSave, cancel };
    static Answer Ask(const COpenBook& book);
};
