#pragma once
#include "String.h"

// The framework's exceptions.  They are thrown by value and caught by
// reference; the handler that catches one owns it, so nothing leaks.
class CException {
public:
    virtual ~CException() = default;
    // The framework's standard report text of this exception.
    virtual CString GetErrorMessage() const = 0;
};

class CArchiveException : public CException {
public:
    enum Cause { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
    explicit CArchiveException(Cause cause = generic, CString fileName = CString())
        : m_cause(cause), m_strFileName(std::move(fileName)) {}
    CString GetErrorMessage() const override;

    Cause m_cause;
    CString m_strFileName;
};

class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };
    CFileException(Cause cause = none, long lOsError = -1, CString fileName = CString())
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(std::move(fileName)) {}
    CString GetErrorMessage() const override;

    Cause m_cause;
    long m_lOsError;
    CString m_strFileName;
};

// Ends an operation after the user has been told why; nothing more to report.
class CUserException : public CException {
public:
    CString GetErrorMessage() const override { return CString(); }
};

class CMemoryException : public CException {
public:
    CString GetErrorMessage() const override;
};
