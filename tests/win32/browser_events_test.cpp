#include "platform/win32/browser_events.h"

#include <gtest/gtest.h>

#include <exdispid.h>

#include <cstring>

#include <vector>

#include "platform/win32/com_object.h"
#include "platform/win32/com_text.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

// A plain COM object to travel through ppDisp; its reference count is observable.
class CountedObject : public EventSink {
 public:
  CountedObject() : EventSink(IID_IDispatch) {}
  void Detach() override {}
  ULONG References() {
    AddRef();
    return Release();
  }

 protected:
  bool Handles(DISPID) const override { return false; }
  void OnEvent(DISPID, DISPPARAMS&) override {}
};

struct RecordingEvents : BrowserEvents {
  std::vector<BeforeNavigate2Args> navigations;
  int newWindows = 0;
  UserAction lastStartedBy = UserAction::Unknown;
  bool cancelNavigation = false;
  std::shared_ptr<Dispatch> answer;  // what NewWindow2 leaves in ppDisp
  bool failNewWindow = false;

  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    navigations.push_back(args);
    args.Cancel = cancelNavigation;
  }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction startedBy) override {
    ++newWindows;
    lastStartedBy = startedBy;
    if (failNewWindow) throw std::runtime_error("handler failed");
    ppDisp = answer;
    (void)Cancel;
  }
};

SAFEARRAY* Bytes(const std::string& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  return array;
}

// The seven arguments of BeforeNavigate2 as the browser lays them out: URL, flags, target and
// headers each in one by-reference variant, the post data in two.
struct BeforeNavigateCall {
  VARIANT url, flags, target, postData, postWrap, headers;
  VARIANT args[7];
  VARIANT_BOOL cancel = VARIANT_FALSE;
  DISPPARAMS params{args, nullptr, 7, 0};

  BeforeNavigateCall(const std::string& address, const std::string& post) {
    for (VARIANT* v : {&url, &flags, &target, &postData, &postWrap, &headers})
      VariantInit(v);
    url.vt = VT_BSTR;
    url.bstrVal = ToBstr(address).Release();
    flags.vt = VT_I4;
    flags.lVal = 0x40;
    target.vt = VT_BSTR;
    target.bstrVal = ToBstr("_blank").Release();
    headers.vt = VT_BSTR;
    headers.bstrVal = nullptr;
    if (!post.empty()) {
      postData.vt = VT_ARRAY | VT_UI1;
      postData.parray = Bytes(post);
    }
    postWrap.vt = VT_BYREF | VT_VARIANT;
    postWrap.pvarVal = &postData;
    VARIANT* byRef[] = {&url, &flags, &target, &postWrap, &headers};
    for (int i = 0; i < 5; ++i) {
      VariantInit(&args[5 - i]);
      args[5 - i].vt = VT_BYREF | VT_VARIANT;
      args[5 - i].pvarVal = byRef[i];
    }
    VariantInit(&args[6]);
    args[6].vt = VT_DISPATCH;
    args[6].pdispVal = nullptr;
    VariantInit(&args[0]);
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &cancel;
  }
  ~BeforeNavigateCall() {
    for (VARIANT* v : {&url, &flags, &target, &postData, &headers})
      VariantClear(v);
  }
};

// NewWindow2's or NewWindow3's arguments: ppDisp and Cancel by reference.
struct NewWindowCall {
  IDispatch* ppDisp = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT args[5];
  DISPPARAMS params{args, nullptr, 2, 0};

  explicit NewWindowCall(bool third) {
    for (VARIANT& v : args)
      VariantInit(&v);
    const int disp = third ? 4 : 1;
    const int cancelAt = third ? 3 : 0;
    args[disp].vt = VT_BYREF | VT_DISPATCH;
    args[disp].ppdispVal = &ppDisp;
    args[cancelAt].vt = VT_BYREF | VT_BOOL;
    args[cancelAt].pboolVal = &cancel;
    params.cArgs = third ? 5 : 2;
  }
  ~NewWindowCall() {
    if (ppDisp) ppDisp->Release();
  }
};

class BrowserEventsTest : public ::testing::Test {
 protected:
  void Raise(DISPID id, DISPPARAMS& params) {
    sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  void TearDown() override { sink->Release(); }

  RecordingEvents events;
  NewWindowGate gate;
  BrowserEventSink* sink = new BrowserEventSink(events, gate);
};

TEST_F(BrowserEventsTest, BeforeNavigate2ReadsItsArgumentsAndWritesCancel) {
  BeforeNavigateCall call("http://example.com/a?b=1", "q=velmox");
  events.cancelNavigation = true;
  Raise(DISPID_BEFORENAVIGATE2, call.params);

  ASSERT_EQ(1u, events.navigations.size());
  const BeforeNavigate2Args& seen = events.navigations[0];
  EXPECT_EQ("http://example.com/a?b=1", seen.URL);
  EXPECT_EQ(0x40, seen.Flags);
  EXPECT_EQ("_blank", seen.TargetFrameName);
  EXPECT_EQ("q=velmox", seen.PostData);
  EXPECT_EQ("", seen.Headers);
  EXPECT_EQ(VARIANT_TRUE, call.cancel);
}

// The browser's other events (DocumentComplete, TitleChange, ...) are no members of Velmox's
// sink; the three it takes are answered S_OK.
TEST_F(BrowserEventsTest, OnlyTheEventsVelmoxTakesAreMembers) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  for (const DISPID other :
       {DISPID_DOCUMENTCOMPLETE, DISPID_TITLECHANGE, DISPID_WINDOWREGISTERED}) {
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              sink->Invoke(other, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr))
        << other;
  }
  BeforeNavigateCall call("http://example.com/", "");
  EXPECT_EQ(S_OK, sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &call.params,
                               nullptr, nullptr, nullptr));
  NewWindowCall second(false), third(true);
  EXPECT_EQ(S_OK, sink->Invoke(DISPID_NEWWINDOW2, IID_NULL, 0, DISPATCH_METHOD, &second.params,
                               nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, &third.params,
                               nullptr, nullptr, nullptr));
  EXPECT_EQ(1u, events.navigations.size());
}

TEST_F(BrowserEventsTest, NoPostDataIsNothingAndACommandPageArrivesAsAPath) {
  BeforeNavigateCall call("file:///C:/Program%20Files/Velmox/b0123456789.html", "");
  Raise(DISPID_BEFORENAVIGATE2, call.params);
  ASSERT_EQ(1u, events.navigations.size());
  EXPECT_EQ("C:\\Program Files\\Velmox\\b0123456789.html", events.navigations[0].URL);
  EXPECT_FALSE(events.navigations[0].PostData.has_value());
  EXPECT_FALSE(events.navigations[0].Unreadable.has_value());
  EXPECT_EQ(VARIANT_FALSE, call.cancel);
}

// Post data behind one wrapper fewer, as an array by reference, and present but empty (which the
// form rule tells apart from none at all).
TEST_F(BrowserEventsTest, PostDataIsReadInEveryFormTheBrowserMayUse) {
  SAFEARRAY* array = Bytes("a=1&b=2");
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_BYREF | VT_ARRAY | VT_UI1;
  byRef.pparray = &array;
  EXPECT_EQ("a=1&b=2", PostDataArgument(byRef));
  VARIANT wrapped;
  VariantInit(&wrapped);
  wrapped.vt = VT_BYREF | VT_VARIANT;
  wrapped.pvarVal = &byRef;
  EXPECT_EQ("a=1&b=2", PostDataArgument(wrapped));
  SafeArrayDestroy(array);

  BeforeNavigateCall empty("http://example.com/find", "");
  VariantClear(&empty.postData);
  empty.postData.vt = VT_ARRAY | VT_UI1;
  empty.postData.parray = Bytes("");
  Raise(DISPID_BEFORENAVIGATE2, empty.params);
  ASSERT_EQ(1u, events.navigations.size());
  EXPECT_EQ("", events.navigations[0].PostData);
}

// The browser must get the handler's own Cancel, whatever it passed in and whatever argument
// could not be read.
TEST_F(BrowserEventsTest, AnArgumentThatCannotBeReadNeitherSkipsTheHandlerNorLeavesCancel) {
  BeforeNavigateCall call("http://example.com/page", "");
  VariantClear(&call.flags);
  call.flags.vt = VT_BSTR;
  call.flags.bstrVal = ToBstr("not a number").Release();
  VariantClear(&call.headers);
  call.headers.vt = VT_UNKNOWN;  // has no text
  call.headers.punkVal = nullptr;
  call.postData.vt = VT_BSTR;
  call.postData.bstrVal = ToBstr("q=1").Release();
  call.cancel = VARIANT_TRUE;
  Raise(DISPID_BEFORENAVIGATE2, call.params);

  ASSERT_EQ(1u, events.navigations.size());
  const BeforeNavigate2Args& seen = events.navigations[0];
  EXPECT_EQ("http://example.com/page", seen.URL);
  EXPECT_TRUE(seen.Unreadable.has_value());
  EXPECT_FALSE(seen.PostData.has_value());
  EXPECT_EQ(VARIANT_FALSE, call.cancel);
}

TEST_F(BrowserEventsTest, TheObjectLeftInPpDispGoesToTheBrowserWithItsOwnReference) {
  CountedObject* object = new CountedObject;
  events.answer = std::make_shared<ComDispatch>(ComPtr<IDispatch>(object));
  const ULONG before = object->References();
  {
    NewWindowCall call(false);
    Raise(DISPID_NEWWINDOW2, call.params);
    EXPECT_EQ(object, call.ppDisp);
    // The browser's reference, and the gate's while the request's other event may still come.
    EXPECT_EQ(before + 2, object->References());
  }
  EXPECT_EQ(before + 1, object->References());
  BeforeNavigateCall navigation("http://example.com/", "");
  Raise(DISPID_BEFORENAVIGATE2, navigation.params);
  EXPECT_EQ(before, object->References());
}

// NewWindow3's dwFlags say whether the user started the request; NewWindow2 says nothing.
TEST_F(BrowserEventsTest, NewWindow3FlagsTellWhetherAUserActionStartedTheRequest) {
  const struct {
    VARTYPE vt;
    long flags;
    UserAction expected;
  } cases[] = {{VT_I4, 0x2 | 0x4, UserAction::Yes},
               {VT_UI4, 0x4, UserAction::No},
               {VT_EMPTY, 0, UserAction::Unknown},
               {VT_DISPATCH, 0, UserAction::Unknown}};
  for (const auto& c : cases) {
    NewWindowCall call(true);
    call.args[2].vt = c.vt;
    call.args[2].lVal = c.flags;
    Raise(DISPID_NEWWINDOW3, call.params);
    EXPECT_EQ(c.expected, events.lastStartedBy) << c.vt;
    BeforeNavigateCall navigation("http://example.com/", "");
    Raise(DISPID_BEFORENAVIGATE2, navigation.params);  // the next request starts anew
  }
  NewWindowCall second(false);
  Raise(DISPID_NEWWINDOW2, second.params);
  EXPECT_EQ(UserAction::Unknown, events.lastStartedBy);
}

// The two events of one request, whether the browser carries the first's answer into the second
// or not, and with its message loop run in between (as a browser in another process has it).
TEST_F(BrowserEventsTest, OneRequestRaisedAsNewWindow2AndNewWindow3ReachesVelmoxOnce) {
  CountedObject* object = new CountedObject;
  events.answer = std::make_shared<ComDispatch>(ComPtr<IDispatch>(object));
  NewWindowCall second(false), third(true);
  Raise(DISPID_NEWWINDOW2, second.params);
  test::PumpUntil([] { return false; }, std::chrono::milliseconds(50));
  third.ppDisp = second.ppDisp;
  third.ppDisp->AddRef();
  Raise(DISPID_NEWWINDOW3, third.params);
  EXPECT_EQ(1, events.newWindows);
  EXPECT_EQ(object, third.ppDisp);

  NewWindowCall fresh3(true), fresh2(false);
  Raise(DISPID_NEWWINDOW3, fresh3.params);
  Raise(DISPID_NEWWINDOW2, fresh2.params);  // starts from an empty ppDisp
  EXPECT_EQ(2, events.newWindows);
  EXPECT_EQ(object, fresh2.ppDisp);

  NewWindowCall next(true);
  Raise(DISPID_NEWWINDOW3, next.params);
  EXPECT_EQ(3, events.newWindows);
}

TEST_F(BrowserEventsTest, WhatComesBetweenOrDiffersMakesANewRequest) {
  CountedObject* object = new CountedObject;
  events.answer = std::make_shared<ComDispatch>(ComPtr<IDispatch>(object));
  NewWindowCall first(false), second(false), third(true);
  Raise(DISPID_NEWWINDOW2, first.params);
  Raise(DISPID_NEWWINDOW2, second.params);  // the same kind again: another request
  EXPECT_EQ(2, events.newWindows);
  Raise(DISPID_NEWWINDOW3, third.params);  // the second request's twin
  EXPECT_EQ(2, events.newWindows);

  // A navigation of the window between the two.
  NewWindowCall before(false), after(true);
  Raise(DISPID_NEWWINDOW2, before.params);
  BeforeNavigateCall navigation("http://example.com/", "");
  Raise(DISPID_BEFORENAVIGATE2, navigation.params);
  Raise(DISPID_NEWWINDOW3, after.params);
  EXPECT_EQ(4, events.newWindows);

  // An event whose ppDisp holds an object other than the answer.
  BeforeNavigateCall apart("http://example.com/", "");
  Raise(DISPID_BEFORENAVIGATE2, apart.params);
  CountedObject* other = new CountedObject;
  NewWindowCall answered(false), elsewhere(true);
  Raise(DISPID_NEWWINDOW2, answered.params);
  elsewhere.ppDisp = other;
  Raise(DISPID_NEWWINDOW3, elsewhere.params);
  EXPECT_EQ(6, events.newWindows);
}

TEST_F(BrowserEventsTest, AFailingHandlerLeavesTheBrowserADefiniteAnswer) {
  events.failNewWindow = true;
  NewWindowCall call(false);
  Raise(DISPID_NEWWINDOW2, call.params);
  EXPECT_EQ(nullptr, call.ppDisp);
  EXPECT_EQ(VARIANT_FALSE, call.cancel);
}

TEST_F(BrowserEventsTest, NoEventReachesTheHandlerAfterTheConnectionIsDropped) {
  sink->Detach();
  BeforeNavigateCall call("http://example.com/", "");
  Raise(DISPID_BEFORENAVIGATE2, call.params);
  EXPECT_TRUE(events.navigations.empty());
}

}  // namespace
}  // namespace velmox::win32
