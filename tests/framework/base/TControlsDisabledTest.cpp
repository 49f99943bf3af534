#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/base/TClientDataSet.h"

// The scope gives the controls their events back however it ends, and says so once.
TEST(TControlsDisabled, EnablesOnceOnReturnOrExceptionAndKeepsTheExceptionUnderWay) {
  TClientDataSet table;
  table.AddIntegerField("N");
  table.CreateDataSet();
  int changes = 0;
  bool failRefresh = false;
  table.AddDataEventHandler(TDataEventHandler::FromFunctor([&](TClientDataSet*, TDataEvent e) {
    if (e != TDataEvent::deDataSetChange) return;
    ++changes;
    if (failRefresh) throw std::runtime_error("refresh");
  }));

  EXPECT_THROW(
      {
        const TControlsDisabled outer(table);
        {
          const TControlsDisabled inner(table);
          table.AppendRecord({1});
        }
        EXPECT_TRUE(table.ControlsDisabled());  // the inner scope did not end the outer one
        EXPECT_EQ(changes, 0);
        throw std::logic_error("filling failed");
      },
      std::logic_error);
  EXPECT_FALSE(table.ControlsDisabled());
  EXPECT_EQ(changes, 1);

  // A refresh that raises: raised from a scope ending normally; while another exception is on its
  // way, that one arrives and the table is enabled all the same.
  failRefresh = true;
  EXPECT_THROW({ const TControlsDisabled quiet(table); }, std::runtime_error);
  EXPECT_FALSE(table.ControlsDisabled());
  EXPECT_THROW(
      {
        const TControlsDisabled quiet(table);
        throw std::logic_error("first");
      },
      std::logic_error);
  EXPECT_FALSE(table.ControlsDisabled());
  EXPECT_EQ(changes, 3);
}
