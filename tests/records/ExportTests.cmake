# The export and the print report: controllers against fakes, the workbook read back with
# python3-openpyxl, the preview painted to PDF and read back with pdftotext.
zr_test(records_export_tests
    SOURCES
        ExportTest.cpp
        ExportWorkbookTest.cpp
        ExportFullDiskTest.cpp
        PrintReportTest.cpp
        PrintReportPreviewTest.cpp
        ExportGoldenTest.cpp
    LIBS zr_records zr_records_xlsx zr_records_views zr_ui)
target_compile_definitions(records_export_tests PRIVATE
    ZR_WORKBOOK_READER="${CMAKE_CURRENT_SOURCE_DIR}/read_workbook.py"
    ZR_WORKBOOK_PARTS="${CMAKE_CURRENT_SOURCE_DIR}/workbook_parts.py"
    ZR_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
