// SPDX-License-Identifier: GPL-3.0-or-later
// The window's Modbus server: switched on in its dialog, a client's setpoint shows in the setpoint
// field, greyed while the client is there, and moves the valve; the field is the user's again after.
#include "ShownApp.h"
#include "plant/PlantLink.h"
#include "tests/plant/PlantClient.h"
#include "ui/app/PlantControl.h"
#include "ui/app/PlantDialog.h"
#include "ui/device/MenuBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <optional>

using namespace vp7;

TEST(PlantWindow, AClientsSetpointShowsGreyedAndMovesTheValve) {
    QTemporaryDir dir;
    VirtualClock clock;
    std::optional<AppWindows> windows(
        CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock));
    MainWindow& main = *windows->main;
    PlantControl& plant = *windows->plant;
    ASSERT_NE(main.Menus().Action(ActionId::ModbusServer), nullptr);
    EXPECT_EQ(plant.Link(), nullptr); // off until switched on

    // Switched on in the dialog, on a free port of the loopback.
    PlantSettings chosen;
    {
        PlantDialog dialog(&main, plant.Settings(), plant.Status(), false);
        EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("PlantPort"))->value(),
                  ModbusServer::kStandardPort);
        dialog.findChild<QCheckBox*>(QStringLiteral("PlantServe"))->setChecked(true);
        dialog.findChild<QSpinBox*>(QStringLiteral("PlantPort"))->setValue(0);
        chosen = dialog.Settings();
        EXPECT_EQ(chosen.options.address, "127.0.0.1");
    }
    ASSERT_TRUE(plant.Apply(chosen));
    ASSERT_NE(plant.Link(), nullptr);

    auto* field = main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isEnabled());
    {
        test::ModbusClient client(plant.Link()->Server().Port());
        ASSERT_TRUE(client.Write(0, 5000));
        // The write wakes the window's event loop, which applies it.
        test::RunEvents(2000, [&] { return field->text() == QStringLiteral("50.00"); });
        EXPECT_EQ(field->text(), QStringLiteral("50.00"));
        EXPECT_FALSE(field->isEnabled());
        clock.Advance(3000);
        main.AfterEvent();
        EXPECT_NEAR(main.Sim().state.Istwert, 50.0, 0.1);
        EXPECT_EQ(client.Input(0), 5000);
    }
    // The client gone, the next tick gives the field back.
    test::RunEvents(2000, [&] { return plant.Link()->Server().Clients() == 0; });
    clock.Advance(1000);
    main.AfterEvent();
    EXPECT_TRUE(field->isEnabled());
    const int port = plant.Link()->Server().Port();

    // Kept in the settings' own section, it serves again at the next start, on the port it had.
    ASSERT_TRUE(main.close());
    windows.reset();
    const QByteArray text = test::Bytes(dir.filePath(QStringLiteral("Config/VP7.ini")));
    EXPECT_TRUE(text.contains("[Modbus]\r\nServer=1\r\nPort=" + QByteArray::number(port)))
        << text.toStdString();
    EXPECT_TRUE(text.contains("[Config]")) << "the device's own settings stay";
    VirtualClock again;
    AppWindows restarted = CreateProgramWindows(dir.path().toStdString(), 1, false, &again);
    ASSERT_NE(restarted.plant->Link(), nullptr);
    EXPECT_EQ(restarted.plant->Link()->Server().Port(), port);
    EXPECT_TRUE(restarted.plant->Apply(PlantSettings{}));
    EXPECT_EQ(restarted.plant->Link(), nullptr);
}
