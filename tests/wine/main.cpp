// One process for every Wine case, so the display, the prefix and the
// wineserver are made once per run.
#include "harness.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new winetest::Session);
    return RUN_ALL_TESTS();
}
