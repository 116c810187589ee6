// Proves the cross-built JPEG codec links and initialises in a Windows program.
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <cstdio>   // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

TEST(Jpeg, DecompressStructCreatesAndDestroys)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    ASSERT_EQ(info.err, &errors);
    jpeg_create_decompress(&info);
    EXPECT_EQ(info.global_state, 200);   // DSTATE_START: ready for a source
    jpeg_destroy_decompress(&info);
    EXPECT_EQ(info.global_state, 0);
}
