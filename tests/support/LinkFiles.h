#pragma once
// Link files as the tests make and read them: through the platform's link object, as the shell
// and the product do. COM must be set up on the calling thread.
#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <string>

// What the platform's link object reads back from a saved link.
struct LinkFields {
    std::wstring path;  // as the link stores it (SLGP_RAWPATH: nothing expanded)
    std::wstring arguments, workingDirectory, description;
};
// The fields of a link file; all empty when the file cannot be loaded as a link.
LinkFields ReadLink(const std::wstring& linkPath);

// Saves a link object to the file through the product's own save; a save that does not succeed
// fails the test.
void SaveLink(const Microsoft::WRL::ComPtr<IShellLinkW>& link, const std::wstring& linkPath);
