// Packs a folder into a ZIP archive for the folder "Примеры": every file below the folder, under
// its path relative to it, names in UTF-8 with the archive's UTF-8 flag set. Used by the build.
//   rat_makezip ARCHIVE.zip FOLDER

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: rat_makezip ARCHIVE.zip FOLDER\n");
        return 2;
    }
    // Names are UTF-8 bytes; libarchive converts them from the character type of the locale.
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        std::setlocale(LC_CTYPE, "C.utf8");

    const fs::path target(argv[1]);
    const fs::path folder(argv[2]);
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file())
            files.push_back(it->path());
    if (ec) {
        std::fprintf(stderr, "rat_makezip: %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());

    fs::create_directories(target.parent_path(), ec);
    const fs::path partial = target.string() + ".part";
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_zip_set_compression_deflate(a);
    archive_write_set_options(a, "hdrcharset=UTF-8");
    if (archive_write_open_filename(a, partial.c_str()) != ARCHIVE_OK) {
        std::fprintf(stderr, "rat_makezip: %s\n", archive_error_string(a));
        archive_write_free(a);
        return 1;
    }
    std::vector<char> data;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::string name = fs::relative(file, folder).generic_string();
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, name.c_str());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, la_int64_t(data.size()));
        // A fixed time keeps the archive the same from build to build.
        archive_entry_set_mtime(e, 1704067200, 0);
        if (archive_write_header(a, e) != ARCHIVE_OK ||
            (!data.empty() && archive_write_data(a, data.data(), data.size()) != la_ssize_t(data.size()))) {
            std::fprintf(stderr, "rat_makezip: %s: %s\n", name.c_str(), archive_error_string(a));
            archive_entry_free(e);
            archive_write_free(a);
            fs::remove(partial, ec);
            return 1;
        }
        archive_entry_free(e);
    }
    if (archive_write_close(a) != ARCHIVE_OK) {
        std::fprintf(stderr, "rat_makezip: %s\n", archive_error_string(a));
        archive_write_free(a);
        fs::remove(partial, ec);
        return 1;
    }
    archive_write_free(a);
    fs::rename(partial, target, ec);
    if (ec) {
        std::fprintf(stderr, "rat_makezip: %s: %s\n", target.c_str(), ec.message().c_str());
        return 1;
    }
    return 0;
}
