#include "platform/identity_win.h"

#include <windows.h>

#include <vector>

#include "platform/text_win.h"

namespace marlo {

std::string Win32Identity::ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &length) ? Utf8({name, length}) : std::string();
}

// Once, whichever window's lane asks first; the others wait for it.
void Win32Identity::LookUpUser() {
  AcquireSRWLockExclusive(&lock_);
  if (!user_known_) FindUser();
  user_known_ = true;
  ReleaseSRWLockExclusive(&lock_);
}

// The account of the process's own token: its name and the domain (or computer) it belongs to.
// Without it (an account the system cannot name), the user's name alone, as Windows gives it.
void Win32Identity::FindUser() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
      const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
      wchar_t name[256], domain[256];
      DWORD name_length = 256, domain_length = 256;
      SID_NAME_USE use;
      if (LookupAccountSidW(nullptr, sid, name, &name_length, domain, &domain_length, &use)) {
        user_ = Utf8({name, name_length});
        domain_ = Utf8({domain, domain_length});
      }
    }
    CloseHandle(token);
  }
  if (user_.empty()) {
    wchar_t name[257];
    DWORD length = 257;
    if (GetUserNameW(name, &length) && length > 0) user_ = Utf8({name, length - 1});
  }
}

std::string Win32Identity::UserName() {
  LookUpUser();
  return user_;
}

std::string Win32Identity::UserDomain() {
  LookUpUser();
  return domain_;
}

// The name is looked up where Windows looks it up (this computer, then its domain and the domains
// that domain trusts), and the user's token then tells membership: groups within groups are in
// it, and a group an administrator's token holds only to deny (an elevation not taken) is not.
std::optional<bool> Win32Identity::InGroup(const std::string& name) {
  const std::wstring wide = Wide(name);
  DWORD sid_size = 0, domain_size = 0;
  SID_NAME_USE use;
  LookupAccountNameW(nullptr, wide.c_str(), nullptr, &sid_size, nullptr, &domain_size, &use);
  if (sid_size == 0) return std::nullopt;
  std::vector<BYTE> sid(sid_size);
  std::vector<wchar_t> domain(domain_size + 1);
  if (!LookupAccountNameW(nullptr, wide.c_str(), sid.data(), &sid_size, domain.data(), &domain_size,
                          &use)) {
    return std::nullopt;
  }
  if (use != SidTypeGroup && use != SidTypeAlias && use != SidTypeWellKnownGroup) return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, sid.data(), &member)) return std::nullopt;
  return member != FALSE;
}

}  // namespace marlo
