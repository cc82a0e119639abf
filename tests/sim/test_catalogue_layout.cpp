// The register map built from the parameter catalogue, checked against the catalogue's own table
// figures (defaults, ranges as register figures, read-only rows, firmware and model variants).
#include "comm/AccessCodes.h"
#include "param/Catalogue.h"
#include "sim/SimulatedStarter.h"

#include <gtest/gtest.h>

using namespace rv8::sim;

namespace {

static_assert(rv8::param::kFactoryPasswordValue == rv8::comm::kFactoryPassword,
              "the catalogue and the access codes agree on the factory password");

std::unique_ptr<StarterNode> MakeNode(int model, int firmware, uint8_t address = 1)
{
    QString error;
    auto layout = CatalogueLayout(model, firmware, &error);
    EXPECT_TRUE(layout) << error.toStdString();
    if (!layout)
        return nullptr;
    return std::make_unique<StarterNode>(address, std::make_shared<const ParameterLayout>(*layout),
                                         std::make_shared<ManualClock>(), StarterNode::Options{});
}

std::vector<uint16_t> Read(StarterNode& node, uint16_t first, uint16_t count)
{
    std::vector<uint16_t> v;
    EXPECT_EQ(node.ReadRegisters(first, count, v), 0) << first << "+" << count;
    return v;
}

TEST(CatalogueLayout, Model150Firmware401Defaults)
{
    auto node = MakeNode(150, 401);
    ASSERT_TRUE(node);
    EXPECT_EQ(Read(*node, 1001, 18),
              (std::vector<uint16_t>{75, 100, 10, 10, 0, 0, 0, 0, 0, 1, 40, 200, 10, 350, 40, 200, 10, 350}));
    // The whole parameter block reads in one request, fault history included.
    EXPECT_EQ(Read(*node, 1001, 113).size(), 113u);

    struct Row {
        const char* what;
        uint16_t address;
        uint16_t value;
    };
    const Row rows[] = {
        {"F023 Kick Time 0.8 s", 1023, 8},
        {"F029 Voltage Input", 1029, 480},
        {"F051 nCP Trip from index 10 on", 1051, 0},
        {"F062 Aux Relay 3", 1062, 22},
        {"F067 the node's own address", 1067, 1},
        {"F069 Inflectional Point", 1069, 5000},
        {"F072 factory password", 1072, rv8::comm::kFactoryPassword},
        {"F073 frame rating", 1073, 150},
        {"F074 CT value", 1074, 160},
        {"F081 revision", 1081, 401},
        {"F101 from index 13 on", 1101, 3},
        {"F106 0.50", 1106, 50},
        {"F110", 1110, 9999},
        {"F112 from index 9 on", 1112, 5},
        {"F113 from index 9 on", 1113, 7},
    };
    for (const Row& r : rows)
        EXPECT_EQ(node->Register(r.address), r.value) << r.what;
    std::vector<uint16_t> v;
    EXPECT_EQ(node->ReadRegisters(1000, 1, v), kExIllegalDataAddress);
    EXPECT_EQ(node->ReadRegisters(1113, 2, v), kExIllegalDataAddress);
}

TEST(CatalogueLayout, FirmwareAndModelVariants)
{
    auto standard = MakeNode(150, 0);
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->Register(1051), 1);
    EXPECT_EQ(standard->Register(1101), 1);
    EXPECT_EQ(standard->Register(1112), 4);
    EXPECT_EQ(standard->Register(1081), 0);

    auto generic = MakeNode(0, 130);
    ASSERT_TRUE(generic);
    EXPECT_EQ(generic->Register(1001), 5);
    EXPECT_EQ(generic->Register(1112), 68);
    EXPECT_EQ(generic->Register(1081), 130);

    auto big = MakeNode(275, 401, 9);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->Register(1001), 138);  // half of 275, ties to even
    EXPECT_EQ(big->Register(1073), 275);
    EXPECT_EQ(big->Register(1067), 9);

    QString error;
    EXPECT_FALSE(CatalogueLayout(150, 402, &error));
    EXPECT_TRUE(error.contains("402"));
    EXPECT_FALSE(CatalogueLayout(1251, 401, &error));
    SimulatedStarter::Config config;
    config.firmware = 999;
    EXPECT_FALSE(SimulatedStarter::Create(config, &error));
    EXPECT_TRUE(error.contains("999"));
}

TEST(CatalogueLayout, WriteRulesFollowTheCatalogue)
{
    auto node = MakeNode(150, 401);
    ASSERT_TRUE(node);
    const std::vector<uint16_t> code{rv8::comm::kWriteAccessCode};
    ASSERT_EQ(node->WriteRegisters(1072, code), 0) << "the code lies in the factory-password parameter's range";

    struct Row {
        const char* what;
        uint16_t address;
        uint16_t value;
        uint8_t exception;
    };
    const Row rows[] = {
        {"F001 below FLA minimum", 1001, 74, kExIllegalDataValue},
        {"F001 FLA maximum", 1001, 150, 0},
        {"F001 above FLA maximum", 1001, 151, kExIllegalDataValue},
        {"F022 Off", 1022, 0, 0},
        {"F022 below minimum, not Off", 1022, 9, kExIllegalDataValue},
        {"F023 2.0 s", 1023, 20, 0},
        {"F023 2.1 s", 1023, 21, kExIllegalDataValue},
        {"F006 read-only", 1006, 0, kExIllegalDataAddress},
        {"F055 read-only", 1055, 0, kExIllegalDataAddress},
        {"F064 read-only", 1064, 0, kExIllegalDataAddress},
        {"F073 frame rating read-only", 1073, 150, kExIllegalDataAddress},
        {"F081 revision", 1081, 401, kExIllegalDataAddress},
        {"F094 run time read-only", 1094, 0, kExIllegalDataAddress},
        {"fault history", 1088, 0, kExIllegalDataAddress},
        {"F075 year, a clock register", 1075, 2031, 0},
        {"F110 20 mA", 1110, 5000, 0},
        {"beyond F113", 1114, 0, kExIllegalDataAddress},
    };
    for (const Row& r : rows)
        EXPECT_EQ(node->WriteRegisters(r.address, {r.value}), r.exception) << r.what;

    ASSERT_EQ(node->WriteRegisters(1071, {2}), 0);
    EXPECT_EQ(Read(*node, 1001, 1)[0], 75);
    EXPECT_EQ(Read(*node, 1110, 1)[0], 9999);
}

}  // namespace

// Motor FLA's range follows the service factor as the program's rule does: frame rating 150 with
// service factor 1.15 allows 65..130 A, so a value the program accepts is not refused.
TEST(CatalogueLayout, MotorFlaRangeFollowsTheServiceFactor)
{
    auto node = MakeNode(150, 401);
    ASSERT_TRUE(node);
    ASSERT_EQ(node->WriteRegisters(1072, {rv8::comm::kWriteAccessCode}), 0);
    EXPECT_EQ(node->WriteRegisters(1001, {74}), kExIllegalDataValue) << "service factor 1.00: 75..150";

    ASSERT_EQ(node->WriteRegisters(1002, {115}), 0);
    EXPECT_EQ(node->WriteRegisters(1001, {65}), 0);
    EXPECT_EQ(node->WriteRegisters(1001, {64}), kExIllegalDataValue);
    EXPECT_EQ(node->WriteRegisters(1001, {130}), 0);
    EXPECT_EQ(node->WriteRegisters(1001, {131}), kExIllegalDataValue);
}
