#pragma once
// A failure that ends the user's current action. Nothing in the logic catches it; the window
// procedure (or any other platform callback) shows it in the application error box.
#include <exception>
#include <string>
#include <string_view>

class Failure : public std::exception {
public:
    explicit Failure(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& message() const noexcept { return message_; }
    const char* what() const noexcept override { return "Pallendo failure"; }

private:
    std::wstring message_;
};

[[noreturn]] inline void Fail(std::wstring message) {
    throw Failure(std::move(message));
}
