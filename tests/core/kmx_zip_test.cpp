#include "core/kmx_zip.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kmx::kmxzip;

class KmxZip : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "kmxzipXXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    static void write(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    fs::path dir_;
};

TEST_F(KmxZip, OneDeflatedMemberReadBackWithLibzip) {
    std::string body = "KMX - wersja 2.1 - Materialy\r\n";
    for (int i = 0; i < 200; ++i) body += "x@EdoBDLG@ \r\n";
    write(path("kmx.kmx"), body);
    std::string error;
    ASSERT_TRUE(PackKmx(path("kmx.kmx"), path("out.kmx"), error)) << error;
    EXPECT_TRUE(IsZip(path("out.kmx")));

    int code = 0;
    zip_t* z = zip_open(path("out.kmx").c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(z, nullptr);
    ASSERT_EQ(zip_get_num_entries(z, 0), 1);
    zip_stat_t st;
    ASSERT_EQ(zip_stat_index(z, 0, 0, &st), 0);
    EXPECT_STREQ(st.name, "kmx.kmx");
    EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE);
    EXPECT_EQ(st.size, body.size());
    EXPECT_LT(st.comp_size, body.size() / 10);  // repetitive text deflates well
    zip_discard(z);

    std::string contents, member;
    ASSERT_TRUE(UnpackSingle(path("out.kmx"), contents, member, error)) << error;
    EXPECT_EQ(member, "kmx.kmx");
    EXPECT_EQ(contents, body);
}

TEST_F(KmxZip, ExistingTargetIsReplacedNotAppendedTo) {
    // An older archive at the target with two members of its own.
    int code = 0;
    zip_t* z = zip_open(path("out.kmx").c_str(), ZIP_CREATE, &code);
    ASSERT_NE(z, nullptr);
    for (const char* name : {"old1.txt", "kmx.kmx"}) {
        zip_source_t* s = zip_source_buffer(z, "old", 3, 0);
        ASSERT_GE(zip_file_add(z, name, s, 0), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
    std::string contents, member, error;
    EXPECT_FALSE(UnpackSingle(path("out.kmx"), contents, member, error));  // two members
    EXPECT_FALSE(error.empty());

    write(path("kmx.kmx"), "new body");
    ASSERT_TRUE(PackKmx(path("kmx.kmx"), path("out.kmx"), error)) << error;
    ASSERT_TRUE(UnpackSingle(path("out.kmx"), contents, member, error)) << error;
    EXPECT_EQ(contents, "new body");

    // A plain file at the target is replaced too.
    write(path("plain.kmx"), "not an archive");
    EXPECT_FALSE(IsZip(path("plain.kmx")));
    ASSERT_TRUE(PackKmx(path("kmx.kmx"), path("plain.kmx"), error)) << error;
    EXPECT_TRUE(IsZip(path("plain.kmx")));
}

TEST_F(KmxZip, FailuresAreReportedAndLeaveNoFile) {
    std::string error;
    write(path("kmx.kmx"), "body");
    const std::string target = path("missing-folder/out.kmx");
    EXPECT_FALSE(PackKmx(path("kmx.kmx"), target, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(target));

    error.clear();
    write(path("out.kmx"), "previous");
    EXPECT_FALSE(PackKmx(path("no-body.kmx"), path("out.kmx"), error));
    EXPECT_FALSE(error.empty());

    std::string contents, member;
    error.clear();
    EXPECT_FALSE(UnpackSingle(path("nothing.kmx"), contents, member, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
