#pragma once

#include <string>
#include <string_view>

// The code of errors that the wrapper detects itself, beside SQLite's own result codes.
constexpr int CPPSQLITE_ERROR = 1000;

// The one error type of the SQLite wrapper. The message is made once, at construction,
// as "NAME[code]: detail", so that catchers print it without knowing SQLite's codes.
class CppSQLite3Exception {
public:
    explicit CppSQLite3Exception(int errorCode, std::wstring_view detail = {});
    virtual ~CppSQLite3Exception();
    CppSQLite3Exception(const CppSQLite3Exception&) = default;
    CppSQLite3Exception& operator=(const CppSQLite3Exception&) = default;

    int code() const noexcept { return m_code; }
    const wchar_t* message() const noexcept { return m_message.c_str(); }

private:
    int m_code;
    std::wstring m_message;
};
