/*
 * procstat.cpp: /proc of the Linux side, read from inside Wine (see
 * procstat.h).
 */
#include "procstat.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace gv {

static std::string ReadProcFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

/* Numeric entries of a /proc directory. */
static std::vector<int> NumericEntries(const std::string &dir)
{
    std::vector<int> ids;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ids;
    do {
        char *end = NULL;
        long id = strtol(entry.cFileName, &end, 10);
        if (end != entry.cFileName && *end == '\0' && id > 0)
            ids.push_back((int)id);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return ids;
}

static std::string EntryValue(const std::string &list, const std::string &name)
{
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos)
            end = list.size();
        if (list.compare(start, name.size() + 1, name + "=") == 0)
            return list.substr(start + name.size() + 1, end - start - name.size() - 1);
        start = end + 1;
    }
    return "";
}

std::string NewBenchTag(const char *what)
{
    char tag[64];
    snprintf(tag, sizeof tag, "%s-%lu-%lu", what, GetCurrentProcessId(), GetTickCount());
    return tag;
}

std::string TaggedCopy(const std::string &program, const std::string &tag)
{
    char temp[MAX_PATH];
    if (GetTempPathA(sizeof temp, temp) == 0)
        return "";
    std::string dir = std::string(temp) + "gvbench-" + tag;
    CreateDirectoryA(dir.c_str(), NULL);
    std::string copy = dir + program.substr(program.find_last_of('\\'));
    if (!CopyFileA(program.c_str(), copy.c_str(), FALSE))
        return "";
    return copy;
}

void RemoveTaggedCopy(const std::string &copy)
{
    if (copy.empty())
        return;
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(copy.substr(0, copy.find_last_of('\\')).c_str());
}

int FindUnixProcess(const std::string &tag)
{
    for (int pid : NumericEntries("Z:\\proc")) {
        std::string command = ReadProcFile("Z:\\proc\\" + std::to_string(pid) + "\\cmdline");
        if (command.find(tag) != std::string::npos && command.find("wine") != 0)
            return pid;
    }
    return 0;
}

int FindWineServer()
{
    std::string prefix = EntryValue(ReadProcFile("Z:\\proc\\self\\environ"), "WINEPREFIX");
    if (prefix.empty())
        return 0;
    for (int pid : NumericEntries("Z:\\proc")) {
        std::string base = "Z:\\proc\\" + std::to_string(pid);
        std::string command = ReadProcFile(base + "\\cmdline");
        if (command.find("wineserver") == std::string::npos)
            continue;
        if (EntryValue(ReadProcFile(base + "\\environ"), "WINEPREFIX") == prefix)
            return pid;
    }
    return 0;
}

UnixCpu ReadUnixCpu(int pid)
{
    UnixCpu cpu;
    std::string base = "Z:\\proc\\" + std::to_string(pid);
    std::string stat = ReadProcFile(base + "\\stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return cpu;
    /* Fields after the command: state is field 3, utime 14, stime 15. */
    std::vector<std::string> fields;
    size_t p = close + 2;
    while (p < stat.size()) {
        size_t end = stat.find(' ', p);
        if (end == std::string::npos)
            end = stat.size();
        fields.push_back(stat.substr(p, end - p));
        p = end + 1;
    }
    if (fields.size() < 13)
        return cpu;
    cpu.ticks = strtoull(fields[11].c_str(), NULL, 10) + strtoull(fields[12].c_str(), NULL, 10);
    for (int tid : NumericEntries(base + "\\task"))
        cpu.runNs += strtoull(
            ReadProcFile(base + "\\task\\" + std::to_string(tid) + "\\schedstat").c_str(), NULL,
            10);
    cpu.ok = true;
    return cpu;
}

static uint64_t StatusKb(int pid, const char *field)
{
    std::string status = ReadProcFile("Z:\\proc\\" + std::to_string(pid) + "\\status");
    size_t at = status.find(std::string(field) + ":");
    if (at == std::string::npos)
        return 0;
    return strtoull(status.c_str() + at + strlen(field) + 1, NULL, 10);
}

uint64_t PeakResidentKb(int pid)
{
    return StatusKb(pid, "VmHWM");
}

uint64_t ResidentKb(int pid)
{
    return StatusKb(pid, "VmRSS");
}

std::string LoadAverage()
{
    std::string text = ReadProcFile("Z:\\proc\\loadavg");
    size_t end = text.find(' ', 0);
    for (int i = 0; i < 2 && end != std::string::npos; i++)
        end = text.find(' ', end + 1);
    return end == std::string::npos ? text : text.substr(0, end);
}

double NowMs()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

} // namespace gv
