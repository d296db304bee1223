// The bundled example image: the committed file is what the example's
// assembly gives, and halvane-kdb runs it to its documented result.
//
// To rewrite the committed file after changing the example:
//   KOLM_WRITE_EXAMPLE=1 kdb_process_test --gtest_filter='ExampleImage.*'

#include "child_process.h"
#include "example_image.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

TEST(ExampleImage, CommittedFileIsTheExamplesAssembly)
{
    if (std::getenv("KOLM_WRITE_EXAMPLE")) {
        std::ofstream out(KOLM_EXAMPLE_IMAGE, std::ios::binary | std::ios::trunc);
        out << sumExampleImage();
    }
    EXPECT_EQ(TempDir::read(KOLM_EXAMPLE_IMAGE), sumExampleImage());
}

TEST(ExampleImage, ReturnsFiftyFive)
{
    const ChildResult r = runChild({KDB_PROGRAM, KOLM_EXAMPLE_IMAGE});
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Return value: 55\n");
}

} // namespace
