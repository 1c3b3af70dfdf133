#include <gtest/gtest.h>

#include <memory>

#include "station/core/MeterBatch.h"

namespace {

TEST(MeterBatch, NeverWritesPastTheTableOrAChannelArray)
{
    auto table = std::make_unique<DeviceTable>();
    table->MeterCount = MaxMeters - 2;
    MeterBatch batch;
    batch.MeterCount = 5;
    batch.ChannelCount = 300;
    appendMeterBatch(*table, batch);
    EXPECT_EQ(table->MeterCount, MaxMeters);
    EXPECT_EQ(+table->MeterRecords[MaxMeters - 1].ChannelNum, MaxChannels);
}

}  // namespace
