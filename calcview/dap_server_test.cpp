// SPDX-License-Identifier: GPL-2.0-or-later
// The adapter's answers before a program is launched: sequence numbers,
// error responses, and what a message that is no request gets. The requests
// on a launched program are driven over pipes by e2e/dap_e2e.py.

#include "dap_server.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace calcview::dap {
namespace {

struct Exchange {
    std::vector<Json> sent;
    Server server{[this](const Json& message) { sent.push_back(message); }};

    const Json& request(std::int64_t seq, const std::string& command, const Json& args = nullptr) {
        Json message = {{"seq", seq}, {"type", "request"}, {"command", command}};
        if (!args.is_null()) message["arguments"] = args;
        server.receive({message, {}});
        return sent.back();
    }
};

TEST(DapServer, AnswersInOrderAndRefusesWhatItCannotDo) {
    struct Case {
        std::string command;
        Json args;
        bool success;
        std::string says;  ///< part of the message of a refusal
    };
    const std::vector<Case> cases = {
        {"threads", nullptr, false, "initialize first"},
        {"initialize", {{"adapterID", "p83"}}, true, ""},
        {"initialize", nullptr, false, "already"},
        {"threads", nullptr, true, ""},
        {"attach", nullptr, false, "does not know"},
        {"setBreakpoints", {{"source", {{"path", "a.p83"}}}}, false, "launch a program first"},
        {"configurationDone", nullptr, false, "launch a program first"},
        {"next", nullptr, false, "launch a program first"},
        {"launch", nullptr, false, "\"program\" is missing"},
        {"launch", {{"program", 3}}, false, "\"program\" must be a string"},
        {"launch", {{"program", "a.p83"}, {"files", "b.83p"}}, false, "\"files\" must be a list"},
        {"launch", {{"program", "a.p83"}, {"timeLimit", -1}}, false, "\"timeLimit\""},
        {"launch", {{"program", "a.p83"}, {"keys", "nokey"}}, false, "\"keys\""},
        {"launch", {{"program", "a.p83"}, {"headless", "yes"}}, false, "true or false"},
        {"disconnect", nullptr, true, ""},
    };
    Exchange exchange;
    std::int64_t seq = 100;
    for (const Case& test : cases) {
        const Json& answer = exchange.request(++seq, test.command, test.args);
        SCOPED_TRACE(test.command + " " + test.args.dump());
        EXPECT_EQ(answer["type"], "response");
        EXPECT_EQ(answer["request_seq"], seq);
        EXPECT_EQ(answer["command"], test.command);
        EXPECT_EQ(answer["success"], test.success);
        if (!test.success) {
            EXPECT_NE(answer["message"].get<std::string>().find(test.says), std::string::npos)
                << answer["message"];
            EXPECT_EQ(answer["body"]["error"]["format"], answer["message"]);
        }
    }
    EXPECT_TRUE(exchange.server.finished());
    for (std::size_t i = 0; i < exchange.sent.size(); ++i) {
        EXPECT_EQ(exchange.sent[i]["seq"], static_cast<std::int64_t>(i) + 1);
    }
}

TEST(DapServer, InitializeAdvertisesWhatTheAdapterDoes) {
    Exchange exchange;
    const Json& body = exchange.request(1, "initialize", {{"adapterID", "p83"}})["body"];
    for (const char* capability :
         {"supportsConfigurationDoneRequest", "supportsConditionalBreakpoints",
          "supportsHitConditionalBreakpoints", "supportsLogPoints", "supportsFunctionBreakpoints",
          "supportsDataBreakpoints", "supportsStepBack", "supportsSteppingGranularity",
          "supportsReadMemoryRequest", "supportsDisassembleRequest", "supportsSetVariable",
          "supportsEvaluateForHovers", "supportsExceptionInfoRequest",
          "supportsTerminateRequest"}) {
        EXPECT_EQ(body.value(capability, false), true) << capability;
    }
    EXPECT_FALSE(body["exceptionBreakpointFilters"].empty());
}

TEST(DapServer, WhatIsNoRequestIsAnsweredWhereItCanBe) {
    Exchange exchange;
    exchange.server.receive({std::nullopt, "skipped bytes"});
    exchange.server.receive({Json{{"seq", 4}, {"type", "event"}, {"command", "x"}}, {}});
    exchange.server.receive({Json{{"type", "request"}, {"command", "threads"}}, {}});
    exchange.server.receive({Json{{"seq", 5}, {"type", "request"}, {"command", "threads"}},
                             "the message's Content-Length says 9 bytes"});
    ASSERT_EQ(exchange.sent.size(), 5u);
    EXPECT_EQ(exchange.sent[0]["event"], "output");  // a problem alone
    EXPECT_EQ(exchange.sent[1]["request_seq"], 4);   // not a request, but answerable
    EXPECT_EQ(exchange.sent[1]["success"], false);
    EXPECT_EQ(exchange.sent[2]["event"], "output");  // no seq to answer
    EXPECT_EQ(exchange.sent[3]["event"], "output");  // the length problem, told
    EXPECT_EQ(exchange.sent[4]["request_seq"], 5);   // and the request answered
}

}  // namespace
}  // namespace calcview::dap
