#pragma once
// The fixture of the store's parameterised tests: GetParam() names the database ("sqlite" or
// "postgres"), and SetUp makes it fresh. A database that cannot be had fails the test, loudly.

#include <gtest/gtest.h>

#include <vector>

#include "tests/server/store/StoreBackends.h"

namespace teststore {

class StoreFixture : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_backend = makeBackend(GetParam());
        std::string error;
        ASSERT_TRUE(m_backend->start(error)) << GetParam() << " did not start: " << error;
    }

    std::unique_ptr<StoreBackend> m_backend;
};

// The databases this build can keep records in: SQLite, and PostgreSQL where libpq was found
// (not in the Windows build).
inline std::vector<const char*> storeNames() {
#if DESK_STORE_POSTGRES
    return {"sqlite", "postgres"};
#else
    return {"sqlite"};
#endif
}

// Cases named after their database: Stores/<Test>.<Case>/sqlite.
inline std::string databaseName(const testing::TestParamInfo<const char*>& info) {
    return info.param;
}

}  // namespace teststore
