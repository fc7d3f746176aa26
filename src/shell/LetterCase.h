#pragma once
// Texts compared and keyed with letter case ignored, the platform's way: one rule for file paths,
// window classes and the launcher history alike; and lower case as the user's language writes it.
#include <string>
#include <string_view>

// True when the texts are the same, letter case ignored (the platform's ordinal comparison).
bool SameIgnoringCase(std::wstring_view a, std::wstring_view b);
// A key for the text under that rule: two texts are the same, letter case ignored, exactly when
// their keys are equal (for sets and maps of such texts).
std::wstring CaseKey(std::wstring_view text);
// The text in lower case as the user's locale writes it (file name extensions).
std::wstring LowerCased(std::wstring_view text);
