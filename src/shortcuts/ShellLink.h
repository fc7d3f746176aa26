#pragma once
// Reading and writing shell links (.lnk) through the platform's shell link
// object. The bytes of a link are never touched here: the link object reads and
// writes them.
//
// COM pointers are Microsoft::WRL::ComPtr; every reference is released when the
// call that obtained it ends. COM must be initialised (single-threaded
// apartment) on the calling thread.
#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <string>

// The link's target path; the path itself when it cannot be loaded as a link,
// "" when the target has no file-system path.
std::wstring GetLinkTarget(const std::wstring& linkPath);
// The link's argument string; "" when it cannot be loaded as a link or has
// none.
std::wstring GetLinkArguments(const std::wstring& linkPath);

// A fresh link object (CLSID_ShellLink) through its IShellLinkW; raises the
// platform's text.
Microsoft::WRL::ComPtr<IShellLinkW> CreateShellLink();
// Fills a fresh link: the quoted program path, the quoted arguments (left unset
// when empty), the temporary folder as working directory and the creation
// stamp. Does not save; the first failing step raises its message and the later
// ones are not done.
Microsoft::WRL::ComPtr<IShellLinkW> WriteShellLink(Microsoft::WRL::ComPtr<IShellLinkW> link,
                                                   const std::wstring& programPath,
                                                   const std::wstring& arguments);
// Saves the link object to the file (over any file of that name); the result of
// the save. Raises the platform's text when the object cannot be saved at all.
HRESULT SaveShellLink(const Microsoft::WRL::ComPtr<IShellLinkW>& link,
                      const std::wstring& linkPath);
// "yyyy/mm/dd HH:NN:SS Created by <base name> V1.1" at the clock's current
// time.
std::wstring CreationStamp();
