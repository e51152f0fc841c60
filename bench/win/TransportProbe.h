#pragma once
#include "DispatchDriver_win.h"

#include <cstdio>
#include <string>

// Calls the Excel stand-in the way Quimbex runs one macro (Workbooks, Open
// of the converter, Run, Close of the book, Close of all books), timing
// each round from the client's side.  Subtracting the time the stand-in
// logs for its own work leaves what the automation transport costs.
class CTransportProbe {
public:
    CTransportProbe(std::string strConverter, std::string strBook, FILE* out);
    // False (with the reason printed) when Excel cannot be created.
    bool Run(int nRounds);

private:
    void Round();

    // Held across rounds and replaced, as Quimbex's driver holds them.
    COleDispatchDriver m_app;
    COleDispatchDriver m_books;
    COleDispatchDriver m_book;
    std::string m_strConverter;
    std::string m_strBook;
    FILE* m_out;
};
