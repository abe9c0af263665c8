// Reads the resource section of each Windows program file back and checks
// that it carries the menu's dialog, its eleven bitmaps (the very bytes of
// res/*.bmp) and its icon, all under English (United Kingdom), 0x0809.
//   check_resources RES_FOLDER EXE...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const uint32_t RT_BITMAP = 2, RT_ICON = 3, RT_DIALOG = 5, RT_GROUP_ICON = 14;
const uint32_t LANGUAGE_EN_GB = 0x0809;

struct Expected {
    uint32_t id;
    const char *name;
    const char *file;
};

const Expected BITMAPS[] = {
    {110, "IDB_BACKGROUND", "background.bmp"}, {117, "IDB_PLAY_OFF", "play_off.bmp"},
    {118, "IDB_PLAY", "play.bmp"},              {120, "IDB_INSTALL", "install.bmp"},
    {121, "IDB_PLAY_HOT", "play_hot.bmp"},      {122, "IDB_INSTALL_HOT", "install_hot.bmp"},
    {123, "IDB_UNINSTALL", "uninstall.bmp"},    {124, "IDB_UNINSTALL_OFF", "uninstall_off.bmp"},
    {125, "IDB_UNINSTALL_HOT", "uninstall_hot.bmp"}, {126, "IDB_EXIT", "exit.bmp"},
    {128, "IDB_EXIT_HOT", "exit_hot.bmp"},
};

// One leaf of the resource tree: type, name (a string or a number), language, data.
struct Resource {
    uint32_t type;
    std::string name;
    uint32_t id;
    uint32_t language;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const std::vector<uint8_t> &b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = (v << 8) | (at + i < b.size() ? b[at + i] : 0);
    return v;
}

struct Section {
    uint32_t address, size, offset;
};

struct Image {
    std::vector<uint8_t> bytes;
    std::vector<Section> sections;
    uint32_t resourceRva = 0;
    std::string error;
};

// File offset of a relative virtual address, or 0 when no section holds it.
size_t FileOffset(const Image &image, uint32_t rva)
{
    for (const Section &s : image.sections)
        if (rva >= s.address && rva < s.address + s.size)
            return s.offset + (rva - s.address);
    return 0;
}

bool LoadImage(const std::string &path, Image &image)
{
    image.bytes = ReadFile(path);
    const std::vector<uint8_t> &b = image.bytes;
    if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') {
        image.error = "not a program file";
        return false;
    }
    const size_t pe = Le(b, 0x3C, 4);
    if (Le(b, pe, 4) != 0x00004550) {
        image.error = "no PE signature";
        return false;
    }
    const size_t coff = pe + 4, optional = coff + 20;
    const uint32_t sectionCount = Le(b, coff + 2, 2), optionalSize = Le(b, coff + 16, 2);
    const uint32_t magic = Le(b, optional, 2);
    const size_t directories = optional + (magic == 0x20B ? 112 : 96);
    image.resourceRva = Le(b, directories + 2 * 8, 4);
    for (uint32_t i = 0; i < sectionCount; i++) {
        const size_t s = optional + optionalSize + 40 * i;
        const uint32_t virtualSize = Le(b, s + 8, 4), rawSize = Le(b, s + 16, 4);
        image.sections.push_back({Le(b, s + 12, 4), virtualSize > rawSize ? virtualSize : rawSize, Le(b, s + 20, 4)});
    }
    if (!image.resourceRva || !FileOffset(image, image.resourceRva)) {
        image.error = "no resource section";
        return false;
    }
    return true;
}

std::string EntryName(const Image &image, size_t root, uint32_t nameField)
{
    const size_t at = root + (nameField & 0x7FFFFFFF);
    const uint32_t length = Le(image.bytes, at, 2);
    std::string name;
    for (uint32_t i = 0; i < length; i++)
        name += static_cast<char>(Le(image.bytes, at + 2 + 2 * i, 2));
    return name;
}

// Walks type, name and language levels; `level` 0 is the type table.
void Walk(const Image &image, size_t root, size_t directory, int level, Resource current,
          std::vector<Resource> &out)
{
    const uint32_t count = Le(image.bytes, directory + 12, 2) + Le(image.bytes, directory + 14, 2);
    for (uint32_t i = 0; i < count && i < 1000; i++) {
        const size_t entry = directory + 16 + 8 * i;
        const uint32_t nameField = Le(image.bytes, entry, 4), target = Le(image.bytes, entry + 4, 4);
        Resource r = current;
        if (level == 0) {
            r.type = nameField;
        } else if (level == 1) {
            if (nameField & 0x80000000)
                r.name = EntryName(image, root, nameField);
            else
                r.id = nameField;
        } else {
            r.language = nameField;
        }
        if (target & 0x80000000) {
            if (level < 2)
                Walk(image, root, root + (target & 0x7FFFFFFF), level + 1, r, out);
            continue;
        }
        const size_t leaf = root + target;
        const size_t data = FileOffset(image, Le(image.bytes, leaf, 4));
        const uint32_t size = Le(image.bytes, leaf + 4, 4);
        if (data && data + size <= image.bytes.size())
            r.data.assign(image.bytes.begin() + data, image.bytes.begin() + data + size);
        out.push_back(r);
    }
}

int failures = 0;

void Check(bool ok, const std::string &exe, const std::string &what)
{
    std::printf("%s: %s %s\n", ok ? "ok" : "FAIL", exe.c_str(), what.c_str());
    failures += !ok;
}

const Resource *Find(const std::vector<Resource> &all, uint32_t type, const std::string &name, uint32_t id)
{
    for (const Resource &r : all)
        if (r.type == type && r.name == name && (!name.empty() || r.id == id))
            return &r;
    return nullptr;
}

void CheckExe(const std::string &res, const std::string &exe)
{
    Image image;
    if (!LoadImage(exe, image)) {
        Check(false, exe, "cannot be read (" + image.error + "); build the win32 and win64 presets first");
        return;
    }
    const size_t root = FileOffset(image, image.resourceRva);
    std::vector<Resource> all;
    Walk(image, root, root, 0, Resource{0, "", 0, 0, {}}, all);

    bool english = !all.empty();
    for (const Resource &r : all)
        english = english && r.language == LANGUAGE_EN_GB;
    Check(english, exe, "holds resources, every one under language 0x0809");

    int bitmapCount = 0;
    for (const Resource &r : all)
        bitmapCount += r.type == RT_BITMAP;
    Check(bitmapCount == 11, exe, "holds eleven bitmaps (" + std::to_string(bitmapCount) + ")");
    for (const Expected &e : BITMAPS) {
        const Resource *r = Find(all, RT_BITMAP, "", e.id);
        const std::vector<uint8_t> file = ReadFile(res + "/" + e.file);
        // A bitmap resource is the file without its 14-byte BITMAPFILEHEADER.
        const bool same = r && file.size() > 14 && r->data == std::vector<uint8_t>(file.begin() + 14, file.end());
        Check(same, exe, "bitmap " + std::to_string(e.id) + " " + e.name + " is res/" + e.file);
    }

    // The standard template: popup, visible, centred, modal frame, font;
    // no controls; at 5,50 and 421x294 dialog units; no menu, class or
    // title; 8-point "Helv".
    const std::vector<uint8_t> DLG_MASTER_BYTES = {
        0xC0, 0x08, 0x00, 0x90, 0, 0, 0, 0, 0, 0, 5, 0, 50, 0, 0xA5, 0x01, 0x26, 0x01,
        0, 0, 0, 0, 0, 0, 8, 0, 'H', 0, 'e', 0, 'l', 0, 'v', 0, 0, 0,
    };
    const Resource *dialog = Find(all, RT_DIALOG, "DLG_MASTER", 0);
    Check(dialog && dialog->data == DLG_MASTER_BYTES, exe, "holds the 36-byte dialog template DLG_MASTER");

    const Resource *group = Find(all, RT_GROUP_ICON, "APPICON", 0);
    const Resource *firstGroup = nullptr;
    for (const Resource &r : all)
        if (r.type == RT_GROUP_ICON && !firstGroup)
            firstGroup = &r;
    Check(group && group == firstGroup, exe, "its first icon group, the one the shell shows, is APPICON");
    if (!group)
        return;
    // GRPICONDIR with one entry: 32x32, 16 colours, 1 plane, 4 bits, 744 bytes, then the icon's id.
    const std::vector<uint8_t> &g = group->data;
    const bool oneImage = g.size() == 6 + 14 && Le(g, 0, 2) == 0 && Le(g, 2, 2) == 1 && Le(g, 4, 2) == 1 &&
                          g[6] == 32 && g[7] == 32 && g[8] == 16 && Le(g, 10, 2) == 1 && Le(g, 12, 2) == 4 &&
                          Le(g, 14, 4) == 744;
    Check(oneImage, exe, "APPICON lists one 32x32 16-colour image of 744 bytes");
    const Resource *icon = oneImage ? Find(all, RT_ICON, "", Le(g, 18, 2)) : nullptr;
    const std::vector<uint8_t> ico = ReadFile(res + "/appicon.ico");
    const bool same = icon && ico.size() == 22 + 744 && icon->data == std::vector<uint8_t>(ico.begin() + 22, ico.end());
    Check(same, exe, "the icon image is the one in res/appicon.ico");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: check_resources RES_FOLDER EXE...\n");
        return 2;
    }
    for (int i = 2; i < argc; i++)
        CheckExe(argv[1], argv[i]);
    return failures ? 1 : 0;
}
