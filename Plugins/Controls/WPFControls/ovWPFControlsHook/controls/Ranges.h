// The range controls (scroll bar, track bar) and the scrolling containers (scroll viewer and the three
// document viewers), with the scroll helper that every HScroll and VScroll hands out. None of them keeps
// state: every member reads the element anew, and nothing here writes a success message to the log.
#pragma once

#include "../recognition/KindInfo.h"
#include "Items.h"

// One direction of a CLR ScrollViewer: "Pos", "Min", "Max" over its offset and scrollable extent. Made anew
// for every HScroll/VScroll request; it keeps its owner alive and runs the owner's EnterCall. It starts
// with the owner's report modes, so that a script sees its errors as it sees the owner's.
class CovWPFHelperScroll : public ov::IDispatchMultiImpl<IovWPFHelperScrollBar>,
                           public CovSyntaxItem,
                           public virtual ov::CMultiDispatchRoot {
public:
    using Interfaces =
        ov::Interfaces<IovWPFHelperScrollBar, ov::Via<IDispatch, IovWPFHelperScrollBar>, IovCtrlBase>;
    enum Orientation : LONG { Horizontal = 1, Vertical = 2 };

    // Any orientation other than Horizontal acts as vertical.
    CovWPFHelperScroll(CovWPFCtrl& owner, CovDispDriver target, LONG orientation);

    // IovWPFHelperScrollBar
    HRESULT STDMETHODCALLTYPE get_Pos(double* value) override;
    HRESULT STDMETHODCALLTYPE put_Pos(double value) override;
    HRESULT STDMETHODCALLTYPE get_Min(double* value) override;
    HRESULT STDMETHODCALLTYPE get_Max(double* value) override;
    // IovCtrlBase: the owner's syntax with the member "HScroll" or "VScroll".
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;

    bool IsHorizontal() const noexcept { return orientation_ == Horizontal; }

private:
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }

    ov::ComPtr<CovWPFCtrl> owner_;
    CovDispDriver target_;
    LONG orientation_;
};

// IovWPFScrollHelper of a wrapper: HScroll and VScroll make a new CovWPFHelperScroll over the wrapper's
// target ScrollViewer, which is the element itself or the object of one of its members ("ScrollViewer"
// for the viewers and the edits, "get_ScrollHost" for the list controls). The target is read at every
// request; a target that is null still gets a helper, whose calls then fail with the generic error.
class CovWPFScrollHost : public ov::IDispatchMultiImpl<IovWPFScrollHelper> {
public:
    HRESULT STDMETHODCALLTYPE get_HScroll(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_VScroll(IDispatch** value) override;

protected:
    // `targetMember` null: the element itself is the ScrollViewer.
    CovWPFScrollHost(CovWPFCtrl& owner, const wchar_t* targetMember) noexcept
        : owner_(owner), targetMember_(targetMember) {}

private:
    HRESULT MakeHelper(IDispatch** value, LONG orientation);

    CovWPFCtrl& owner_;
    const wchar_t* targetMember_;
};

class CovWPFCtrlScrollBar : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFScrollBar> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFScrollBar>;
    class CovWPFCtrlScrollBarInfo;

    HRESULT STDMETHODCALLTYPE get_wPosition(double* value) override;
    HRESULT STDMETHODCALLTYPE put_wPosition(double value) override;
    HRESULT STDMETHODCALLTYPE get_wMin(double* value) override;
    HRESULT STDMETHODCALLTYPE get_wMax(double* value) override;
};

// Ticks: the element's "Ticks" when it holds any (a null collection counts as none), else one every
// "TickFrequency" from "Minimum" to "Maximum"; none when the frequency is not above 0.
class CovWPFCtrlTrackBar : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFTrackBar> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFTrackBar>;
    class CovWPFCtrlTrackBarInfo;

    HRESULT STDMETHODCALLTYPE get_wPosition(double* value) override;
    HRESULT STDMETHODCALLTYPE put_wPosition(double value) override;
    HRESULT STDMETHODCALLTYPE get_wMin(double* value) override;
    HRESULT STDMETHODCALLTYPE get_wMax(double* value) override;
    HRESULT STDMETHODCALLTYPE get_wNumTics(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_wTicPosition(LONG index, double* value) override;
    HRESULT STDMETHODCALLTYPE get_wSelectionStart(double* value) override;
    HRESULT STDMETHODCALLTYPE get_wSelectionEnd(double* value) override;

private:
    LONG CountTicks(const CovDispDriver& clr);
};

class CovWPFCtrlScrollViewer : public CovWPFCtrl, public CovWPFScrollHost {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFScrollHelper>;
    class CovWPFCtrlScrollViewerInfo;

protected:
    CovWPFCtrlScrollViewer() noexcept : CovWPFScrollHost(*this, nullptr) {}
};

// A document viewer: its ScrollViewer is the template part that the element's internal "ScrollViewer"
// gives. `Own` is its (empty) dispinterface.
template <class Own>
class CovWPFCtrlDocumentScroller : public CovWPFCtrlWithItems,
                                   public CovWPFScrollHost,
                                   public ov::IDispatchMultiImpl<Own> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, Own, IovWPFScrollHelper>;

protected:
    CovWPFCtrlDocumentScroller() noexcept : CovWPFScrollHost(*this, L"ScrollViewer") {}
};

class CovWPFCtrlFlowDocumentScrollViewer
    : public CovWPFCtrlDocumentScroller<IovWPFCtrlFlowDocumentScrollViewer> {
public:
    class CovWPFCtrlFlowDocumentScrollViewerInfo;
};

class CovWPFCtrlDocumentViewer : public CovWPFCtrlDocumentScroller<IovWPFCtrlDocumentViewer> {
public:
    class CovWPFCtrlDocumentViewerInfo;
};

// Its kind is an internal one (fixed); the recognizer declares its info.
class CovWPFCtrlReaderScrollViewer : public CovWPFCtrlDocumentScroller<IovWPFCtrlReaderScrollViewer> {};

class CovWPFCtrlScrollBar::CovWPFCtrlScrollBarInfo : public CovWPFCtrlInfoOf<CovWPFCtrlScrollBar> {
public:
    CovWPFCtrlScrollBarInfo();
};

class CovWPFCtrlTrackBar::CovWPFCtrlTrackBarInfo : public CovWPFCtrlInfoOf<CovWPFCtrlTrackBar> {
public:
    CovWPFCtrlTrackBarInfo();
};

class CovWPFCtrlScrollViewer::CovWPFCtrlScrollViewerInfo : public CovWPFCtrlInfoOf<CovWPFCtrlScrollViewer> {
public:
    CovWPFCtrlScrollViewerInfo();
};

class CovWPFCtrlFlowDocumentScrollViewer::CovWPFCtrlFlowDocumentScrollViewerInfo
    : public CovWPFCtrlInfoOf<CovWPFCtrlFlowDocumentScrollViewer> {
public:
    CovWPFCtrlFlowDocumentScrollViewerInfo();
};

class CovWPFCtrlDocumentViewer::CovWPFCtrlDocumentViewerInfo
    : public CovWPFCtrlInfoOf<CovWPFCtrlDocumentViewer> {
public:
    CovWPFCtrlDocumentViewerInfo();
};
