// Command ids of the menus, the toolbar, the accelerators and the context menu.
#pragma once

namespace mireka::cmd {

enum : int {
    // The framework's standard commands.
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    FileMru1 = 57616, // 57616 … 57619
    AppAbout = 57664,
    AppExit = 57665,
    EditClear = 57632,
    EditCopy = 57634,
    EditCut = 57635,
    EditFind = 57636,
    EditPaste = 57637,
    EditRepeat = 57640,
    EditReplace = 57641,
    EditSelectAll = 57642,
    EditUndo = 57643,
    EditRedo = 57644,
    NextPane = 57680,
    PrevPane = 57681,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,

    // The program's own.
    ViewOutput = 32772,
    ViewFont = 32773,
    ViewHighlight = 32774,
    EditJump = 32775,
    BuildCompile = 32776,
    ViewAutoIndent = 32777,
    ViewTopMost = 32778,
    BuildRun = 32779,
    BuildLsicSettings = 32780,
    HelpHomePage = 32781,
    HelpReadme = 32782,
    BuildCommand = 32784,
    EditDeleteLine = 32786,
    BuildDosWindow = 32787,
    EditDeleteToEnd = 32788,
    EditDeleteFromStart = 32789,
    HelpShortcut = 32790,
    HelpCalculator = 32791,
    EditClipboardHistory = 32792,
    HelpManual = 32793,
    BuildPause = 32794,
    BuildBccSettings = 32796,
    BuildRunWithArgs = 32797,
    BuildSwitchCompiler = 32798,
    HelpBccHelp = 32799,
    ViewTabWidth = 32800,
    FileHtml = 32801,
    ViewCodeConvert = 32802,
    ImeToggle = 32804,
    BuildDebugger = 32805,
    BuildDebugCompile = 32806,
    BuildPif = 32809,
    HelpReport = 32810,
    TemplateAdd = 32811,
    TemplateOrganize = 32812,
    RspCompile = 32813,
    RspRun = 32814,
    RspRunWithArgs = 32815,
    RspSpecify = 32816,
    BuildVctkSettings = 32817,
    InsertTab = 32818,
    SwallowKeys = 32819,
    BuildGccSettings = 32820,
    ViewUtf8Convert = 32821,
    BuildStop = 32822,
    ViewExplain = 32823,

    FirstTemplate = 200,
};

// Status-bar indicator ids.
enum : int {
    IndicatorCaps = 59137,
    IndicatorNum = 59138,
    IndicatorScroll = 59139,
    IndicatorKana = 59142,
    IndicatorLine = 59143,
    IndicatorCompiler = 59144,
};

} // namespace mireka::cmd
