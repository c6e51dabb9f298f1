#include "fileset.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

bool endsWithNoCase(const std::string &text, const char *suffix)
{
    const std::string end(suffix);
    if (text.size() <= end.size())
        return false;
    return std::equal(end.rbegin(), end.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

size_t suffixLength(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A name that is only the suffix (".csv") has no stem to keep.
    for (const char *suffix : {".bin6842", ".csv"})
        if (endsWithNoCase(name, suffix))
            return std::string(suffix).size();
    return 0;
}

} // namespace

std::string recordingStem(const std::string &path)
{
    return path.substr(0, path.size() - suffixLength(path));
}

std::string recordingSuffix(const std::string &path)
{
    return path.substr(path.size() - suffixLength(path));
}

std::string fileSetMemberPath(const std::string &path, int number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "_%04d", number);
    return recordingStem(path) + digits + recordingSuffix(path);
}

int fileSetMemberNumber(const std::string &path, const std::string &memberPath)
{
    const std::string stem = recordingStem(path) + "_";
    const std::string suffix = recordingSuffix(path);
    if (memberPath.size() < stem.size() + 4 + suffix.size() || memberPath.compare(0, stem.size(), stem) != 0
        || memberPath.compare(memberPath.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string digits = memberPath.substr(stem.size(), memberPath.size() - stem.size() - suffix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int number = std::stoi(digits);
    // Only the name the writer gives: no other zero padding.
    return number > 0 && fileSetMemberPath(path, number) == memberPath ? number : 0;
}

std::vector<std::string> fileSetMembersPresent(const std::string &path)
{
    namespace fs = std::filesystem;
    const std::string stem = recordingStem(path);
    const size_t slash = stem.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : stem.substr(0, slash + 1);
    std::vector<std::pair<int, std::string>> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string member = slash == std::string::npos ? name : stem.substr(0, slash + 1) + name;
        if (const int number = fileSetMemberNumber(path, member))
            found.emplace_back(number, member);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> members;
    for (const auto &entry : found)
        members.push_back(entry.second);
    return members;
}

std::string trendLogPath(const std::string &path)
{
    return recordingStem(path) + ".trend.csv";
}
