#ifdef _WIN32

#include <windows.h>

#include <filesystem>

#include "driver/wide_text.h"
#include "support/process.h"

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back: in quotes, with each
// run of backslashes before a quote (or the closing quote) doubled.
std::wstring quoted(const std::string& argument) {
  std::wstring line = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : utf8_to_wide(argument)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  return line + L"\"";
}

HANDLE open_inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(utf8_to_wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A Windows console program's standard streams are in text mode and end lines with CR LF.
std::string with_lf_line_ends(const std::string& text) {
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
  return lf;
}

// A batch file's errorlevel is the whole exit code, so it is taken as it is: 255 must stay
// 255, where a POSIX shell would also see 255 for main's -1 (0xFFFFFFFF, which a batch file
// reads as below 1). Codes from 0xC0000000 up are exceptions (an access violation, say): the
// process did not exit.
int shell_status(DWORD code) {
  if (code >= 0xC0000000) return -1;
  return static_cast<int>(code);
}

}  // namespace

ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder, const std::string& stdin_path) {
  TempFolder capture;
  const std::string out_path = capture / "out";
  const std::string err_path = capture / "err";
  HANDLE in =
      open_inheritable(stdin_path.empty() ? "NUL" : stdin_path, GENERIC_READ, OPEN_EXISTING);
  HANDLE out = open_inheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = open_inheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);

  std::wstring command_line = quoted(program);
  for (const std::string& arg : args) command_line += L" " + quoted(arg);
  // Resolved here: the child's working folder may lie on another drive.
  const std::wstring application =
      std::filesystem::absolute(std::filesystem::path(utf8_to_wide(program))).wstring();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION child{};
  const bool started =
      in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
      CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     utf8_to_wide(folder).c_str(), &startup, &child);
  for (HANDLE handle : {in, out, err})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);

  ProcessResult result;
  if (started) {
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    result.exit_status = shell_status(code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  result.out = with_lf_line_ends(read_file(out_path));
  result.err = with_lf_line_ends(read_file(err_path));
  return result;
}

#endif
