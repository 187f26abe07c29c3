#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "chooser/MountList.h"

namespace {

using Roots = std::vector<std::string>;

std::string line(const std::string& mountPoint, const std::string& type,
                 const std::string& optional = "shared:1") {
    return "25 1 0:22 / " + mountPoint + " rw,relatime " + optional + " - " + type + " src rw\n";
}

TEST(ParseMountInfo, KeepsRealFileSystemsRootFirst) {
    const struct {
        const char* what;
        std::string text;
        Roots expected;
    } cases[] = {
        {"empty text still offers the root", "", {"/"}},
        {"overlay root of a container", line("/", "overlay"), {"/"}},
        {"real ones sorted",
         line("/", "ext4") + line("/home", "ext4") + line("/boot", "vfat"),
         {"/", "/boot", "/home"}},
        {"pseudo file systems left out",
         line("/", "ext4") + line("/proc", "proc") + line("/sys", "sysfs") +
             line("/sys/fs/cgroup", "cgroup2") + line("/dev/pts", "devpts") + line("/dev/mqueue", "mqueue") +
             line("/sys/kernel/debug", "debugfs") + line("/proc/sys/fs/binfmt_misc", "binfmt_misc") +
             line("/run/user/1000/doc", "fuse.portal") + line("/mnt/bpf", "bpf") + line("/net", "autofs"),
         {"/"}},
        {"tmpfs under /run left out, elsewhere kept",
         line("/run", "tmpfs") + line("/run/lock", "tmpfs") + line("/tmp", "tmpfs") +
             line("/runner", "tmpfs"),
         {"/", "/runner", "/tmp"}},
        {"other file systems under /run kept",
         line("/run/media/ann/USB", "vfat"),
         {"/", "/run/media/ann/USB"}},
        {"mounts in /dev, /proc, /sys left out whatever their type",
         line("/dev/shm", "tmpfs") + line("/dev", "devtmpfs") + line("/sys/firmware/efi/efivars", "efivarfs"),
         {"/"}},
        {"octal escapes decoded",
         line("/media/ann/My\\040Disk", "exfat") + line("/mnt/tab\\011here", "ext4") +
             line("/mnt/back\\134slash", "ext4"),
         {"/", "/media/ann/My Disk", "/mnt/back\\slash", "/mnt/tab\there"}},
        {"a broken escape stays as it is", line("/mnt/a\\04", "ext4"), {"/", "/mnt/a\\04"}},
        {"no optional fields, several optional fields",
         "30 1 8:1 / /data rw - ext4 /dev/sda1 rw\n31 1 8:2 / /srv rw shared:2 master:3 - xfs /dev/sda2 rw\n",
         {"/", "/data", "/srv"}},
        {"the same point mounted twice offered once",
         line("/data", "ext4") + line("/data", "ext4"),
         {"/", "/data"}},
        {"malformed lines ignored",
         "garbage\n1 2 3\n25 1 0:22 / /x rw shared:1\n25 1 0:22 / rel rw - ext4 s rw\n",
         {"/"}},
        {"fuse file systems of the user kept",
         line("/home/ann/remote", "fuse.sshfs"),
         {"/", "/home/ann/remote"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseMountInfo(c.text), c.expected) << c.what;
    }
}

TEST(RootHolding, PicksTheLongestRootAboveTheFolder) {
    const Roots roots = {"/", "/home", "/home/ann/usb", "/media/x"};
    const struct {
        std::string folder;
        std::string expected;
    } cases[] = {
        {"/", "/"},
        {"/etc", "/"},
        {"/home", "/home"},
        {"/home/ann", "/home"},
        {"/homework", "/"},
        {"/home/ann/usb/a", "/home/ann/usb"},
        {"/media/x", "/media/x"},
        {"/media", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rootHolding(roots, c.folder), c.expected) << c.folder;
    }
}

TEST(MountedRoots, ThisMachineOffersTheRootFirstAndOnlyFolders) {
    const Roots roots = mountedRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), "/");
    EXPECT_EQ(std::set<std::string>(roots.begin(), roots.end()).size(), roots.size());
    for (const std::string& root : roots) {
        struct stat info {};
        EXPECT_TRUE(stat(root.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) << root;
        EXPECT_NE(root.rfind("/proc", 0), 0u) << root;
        EXPECT_NE(root.rfind("/sys", 0), 0u) << root;
    }
}

}  // namespace
