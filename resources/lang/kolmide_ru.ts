<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AppUpdater</name>
    <message>
        <source>%1 Update</source>
        <translation>Обновление %1</translation>
    </message>
    <message>
        <source>AppImage is corrupted - zsync_curl is missing.
Aboriting update</source>
        <translation>Образ AppImage повреждён: отсутствует zsync_curl.
Обновление прервано</translation>
    </message>
    <message>
        <source>AppImage is corrupted - updater script is missing.
Aboriting update</source>
        <translation>Образ AppImage повреждён: отсутствует сценарий обновления.
Обновление прервано</translation>
    </message>
    <message>
        <source>AppImage is corrupted - root directory variable is not set.
Aboriting update</source>
        <translation>Образ AppImage повреждён: не задана переменная корневого каталога.
Обновление прервано</translation>
    </message>
    <message>
        <source>appupdateimage process failed to start</source>
        <translation>Не удалось запустить процесс appupdateimage</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Ход обновления</translation>
    </message>
    <message>
        <source>Application has been updated and will now be closed.</source>
        <translation>Приложение обновлено и сейчас будет закрыто.</translation>
    </message>
    <message>
        <source>Error: </source>
        <translation>Ошибка: </translation>
    </message>
    <message>
        <source>the address &quot;%1&quot; is not valid</source>
        <translation>адрес &quot;%1&quot; недопустим</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>нет ответа в течение %1 с</translation>
    </message>
    <message>
        <source>the update description is too long</source>
        <translation>описание обновления слишком длинное</translation>
    </message>
    <message>
        <source>the update description is not readable</source>
        <translation>описание обновления не удаётся прочитать</translation>
    </message>
</context>
<context>
    <name>AsmViewModel</name>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Opcode</source>
        <translation>Код операции</translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation>Аргументы</translation>
    </message>
</context>
<context>
    <name>ChatAdvancedForm</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Source Port:</source>
        <translation>Порт отправителя:</translation>
    </message>
    <message>
        <source>PC</source>
        <translation>ПК</translation>
    </message>
    <message>
        <source>Destination Port:</source>
        <translation>Порт получателя:</translation>
    </message>
    <message>
        <source>Treat &apos;message&apos; as hex</source>
        <translation>Текст сообщения в hex</translation>
    </message>
</context>
<context>
    <name>ChatFeed</name>
    <message>
        <source>Older messages dropped: %1</source>
        <translation>Более ранних сообщений удалено: %1</translation>
    </message>
</context>
<context>
    <name>ConnectionWidget</name>
    <message>
        <source>Device Selection</source>
        <translation>Выбор устройства</translation>
    </message>
    <message>
        <source>Connect under reset</source>
        <translation>Подключаться под сбросом</translation>
    </message>
    <message>
        <source>HID</source>
        <translation>HID</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Последовательный порт</translation>
    </message>
    <message>
        <source>Remote over TCP</source>
        <translation>Удалённое по TCP</translation>
    </message>
    <message>
        <source>Remote over UDP</source>
        <translation>Удалённое по UDP</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Другое</translation>
    </message>
</context>
<context>
    <name>DropArea</name>
    <message>
        <source>Drop firmware file&lt;br&gt;here</source>
        <translation>Перетащите файл прошивки&lt;br&gt;сюда</translation>
    </message>
    <message>
        <source>Select DFU File</source>
        <translation>Выбор файла DFU</translation>
    </message>
    <message>
        <source>DFU Files (*.dfu)</source>
        <translation>Файлы DFU (*.dfu)</translation>
    </message>
</context>
<context>
    <name>HIDDfu</name>
    <message>
        <source>Firmware package is invalid</source>
        <translation>Пакет прошивки повреждён</translation>
    </message>
    <message>
        <source>%1 is not a firmware package</source>
        <translation>%1 не является пакетом прошивки</translation>
    </message>
    <message>
        <source>Incompatible hardware detected.
%1 firmware package is designed for a different board</source>
        <translation>Обнаружено несовместимое оборудование.
Пакет прошивки %1 предназначен для другой платы</translation>
    </message>
    <message>
        <source>Firmware Updater</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Restart the bootloader&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Перезапустить загрузчик&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Switch to STM DFU</source>
        <translation>Перейти в STM DFU</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;SPI Flash Operations&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Операции с SPI Flash&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Launch the firmware&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Запустить прошивку&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Search DFU Devices</source>
        <translation>Поиск устройств DFU</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>No DFU capable USB device available</source>
        <translation>Нет USB-устройств с поддержкой DFU</translation>
    </message>
    <message>
        <source>The device is not connected</source>
        <translation>Устройство не подключено</translation>
    </message>
    <message>
        <source>Busy flashing. Please wait</source>
        <translation>Идёт прошивка. Подождите</translation>
    </message>
    <message>
        <source>Cannot read firmware file %1: %2</source>
        <translation>Не удалось прочитать файл прошивки %1: %2</translation>
    </message>
    <message>
        <source>Opened firmware file %1</source>
        <translation>Открыт файл прошивки %1</translation>
    </message>
    <message>
        <source>Communication error: during %1</source>
        <translation>Ошибка связи: во время %1</translation>
    </message>
    <message>
        <source>Cannot flash this firmware - it is %1 bytes bigger than maximum amount of space available.</source>
        <translation>Невозможно записать эту прошивку: она на %1 байт больше доступного места.</translation>
    </message>
    <message>
        <source>Update firmware to %1?</source>
        <translation>Обновить прошивку до %1?</translation>
    </message>
    <message>
        <source>Error erasing old firmware</source>
        <translation>Ошибка стирания старой прошивки</translation>
    </message>
    <message>
        <source>Communication error: %1</source>
        <translation>Ошибка связи: %1</translation>
    </message>
    <message>
        <source>Error reading from file (%1)</source>
        <translation>Ошибка чтения из файла (%1)</translation>
    </message>
    <message>
        <source>Error flasing new firmware. Internal error:</source>
        <translation>Ошибка записи новой прошивки. Внутренняя ошибка:</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>EEPROM Tool</source>
        <translation>Работа с EEPROM</translation>
    </message>
    <message>
        <source>Erase EEPROM?</source>
        <translation>Стереть EEPROM?</translation>
    </message>
    <message>
        <source>The device is busy</source>
        <translation>Устройство занято</translation>
    </message>
    <message>
        <source>The controller is being flashed. Stop and leave it without firmware?</source>
        <translation>Идёт прошивка контроллера. Остановить и оставить его без прошивки?</translation>
    </message>
</context>
<context>
    <name>KolmDisassembler</name>
    <message>
        <source>Disassembler</source>
        <translation>Дизассемблер</translation>
    </message>
    <message>
        <source>Local debugger executable is missing</source>
        <translation>Не найден исполняемый файл локального отладчика</translation>
    </message>
    <message>
        <source>The disassembler process is still running. Please wait</source>
        <translation>Процесс дизассемблера ещё выполняется. Подождите</translation>
    </message>
</context>
<context>
    <name>KolmLocalDebugger</name>
    <message>
        <source>cannot start the emulator process - already running</source>
        <translation>невозможно запустить процесс эмулятора: он уже запущен</translation>
    </message>
    <message>
        <source>emulator executable is missing</source>
        <translation>не найден исполняемый файл эмулятора</translation>
    </message>
    <message>
        <source>emulator process failed to start</source>
        <translation>не удалось запустить процесс эмулятора</translation>
    </message>
    <message>
        <source>emulator process has crashed</source>
        <translation>процесс эмулятора аварийно завершился</translation>
    </message>
    <message>
        <source>emulator process could not be read from</source>
        <translation>не удалось прочитать данные процесса эмулятора</translation>
    </message>
    <message>
        <source>emulator process cannot be written to</source>
        <translation>не удалось передать данные процессу эмулятора</translation>
    </message>
    <message>
        <source>emulator process produced an error (%1)</source>
        <translation>процесс эмулятора сообщил об ошибке (%1)</translation>
    </message>
</context>
<context>
    <name>KolmProject</name>
    <message>
        <source>Kolm Script (*.%1)</source>
        <translation>Сценарий Kolm (*.%1)</translation>
    </message>
    <message>
        <source>Kolm Binary (*.%1)</source>
        <translation>Двоичный файл Kolm (*.%1)</translation>
    </message>
    <message>
        <source>Kolm IDE Project (*.%1)</source>
        <translation>Проект Kolm IDE (*.%1)</translation>
    </message>
    <message>
        <source>Cannot add file %1 - already exists</source>
        <translation>Невозможно добавить файл %1: он уже существует</translation>
    </message>
    <message>
        <source>Cannot remove the main file %1</source>
        <translation>Невозможно удалить основной файл %1</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Невозможно прочитать %1: %2</translation>
    </message>
    <message>
        <source>Project file is corrupted: %1</source>
        <translation>Файл проекта повреждён: %1</translation>
    </message>
    <message>
        <source>Project file is invalid</source>
        <translation>Недопустимый файл проекта</translation>
    </message>
    <message>
        <source>Project file is corrupted: file entry is not an object</source>
        <translation>Файл проекта повреждён: запись файла не является объектом</translation>
    </message>
    <message>
        <source>File entry without a name</source>
        <translation>Запись файла без имени</translation>
    </message>
    <message>
        <source>File %1 does not exist</source>
        <translation>Файл %1 не существует</translation>
    </message>
    <message>
        <source>Project file is corrupted: more than one &quot;main&quot; file entry</source>
        <translation>Файл проекта повреждён: более одной записи основного файла &quot;main&quot;</translation>
    </message>
    <message>
        <source>Invalid project - &quot;main&quot; file is missing</source>
        <translation>Недопустимый проект: отсутствует основной файл &quot;main&quot;</translation>
    </message>
    <message>
        <source>Cannot write to %1: %2</source>
        <translation>Невозможно записать в %1: %2</translation>
    </message>
    <message>
        <source>Cannot read item %1: %2</source>
        <translation>Невозможно прочитать элемент %1: %2</translation>
    </message>
    <message>
        <source>The output %1 is one of the project&apos;s own files; choose another output file</source>
        <translation>Выходной файл %1 — один из файлов самого проекта; выберите другой выходной файл</translation>
    </message>
    <message>
        <source>Project file %1 is not a regular file</source>
        <translation>Файл проекта %1 не является обычным файлом</translation>
    </message>
    <message>
        <source>Project file %1 is larger than %2 bytes</source>
        <translation>Файл проекта %1 больше %2 байт</translation>
    </message>
</context>
<context>
    <name>KolmProjectBSPView</name>
    <message>
        <source>Board Support Package</source>
        <translation>Пакет поддержки платы</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Регистр</translation>
    </message>
    <message>
        <source>Assign to:</source>
        <translation>Присвоить:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Set value:</source>
        <translation>Записать значение:</translation>
    </message>
    <message>
        <source>Read into:</source>
        <translation>Прочитать в:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Format: &amp;lt;memory pointer&amp;gt;, &amp;lt;size&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Формат: &amp;lt;указатель на память&amp;gt;, &amp;lt;размер&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Write from:</source>
        <translation>Записать из:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Input: &amp;quot;literal&amp;quot; or &amp;lt;memory pointer&amp;gt;, &amp;lt;size&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Ввод: &amp;quot;литерал&amp;quot; или &amp;lt;указатель на память&amp;gt;, &amp;lt;размер&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Defines</source>
        <translation>Определения</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Сведения</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Имя:</translation>
    </message>
    <message>
        <source>Ram:</source>
        <translation>ОЗУ:</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>Данные:</translation>
    </message>
    <message>
        <source>Peripherals:</source>
        <translation>Периферия:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Peripheral</source>
        <translation>Периферия</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Получить</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Задать</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Transceive</source>
        <translation>Обмен</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
</context>
<context>
    <name>KolmProjectCreator</name>
    <message>
        <source>New Project</source>
        <translation>Новый проект</translation>
    </message>
    <message>
        <source>Project Name:</source>
        <translation>Имя проекта:</translation>
    </message>
    <message>
        <source>Project Directory:</source>
        <translation>Каталог проекта:</translation>
    </message>
    <message>
        <source>Put the project in its own subdirectory</source>
        <translation>Поместить проект в отдельный подкаталог</translation>
    </message>
    <message>
        <source>New Script</source>
        <translation>Новый скрипт</translation>
    </message>
    <message>
        <source>Existing Script</source>
        <translation>Существующий скрипт</translation>
    </message>
    <message>
        <source>main</source>
        <translation>main</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Board:</source>
        <translation>Плата:</translation>
    </message>
    <message>
        <source>Author:</source>
        <translation>Автор:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Другая</translation>
    </message>
    <message>
        <source>project name is invalid</source>
        <translation>недопустимое имя проекта</translation>
    </message>
    <message>
        <source>project directory does not exist</source>
        <translation>каталог проекта не существует</translation>
    </message>
    <message>
        <source>the script file already exists</source>
        <translation>файл скрипта уже существует</translation>
    </message>
    <message>
        <source>the script file name is invalid</source>
        <translation>недопустимое имя файла скрипта</translation>
    </message>
    <message>
        <source>the main script file already exists</source>
        <translation>главный файл скрипта уже существует</translation>
    </message>
    <message>
        <source>please select an existing KOLM script</source>
        <translation>выберите существующий скрипт KOLM</translation>
    </message>
    <message>
        <source>the script file does not exist</source>
        <translation>файл скрипта не существует</translation>
    </message>
    <message>
        <source>the script file is not a KOLM script</source>
        <translation>файл не является скриптом KOLM</translation>
    </message>
    <message>
        <source>Create Project</source>
        <translation>Создать проект</translation>
    </message>
    <message>
        <source>Cannot create directory %1</source>
        <translation>Невозможно создать каталог %1</translation>
    </message>
    <message>
        <source>Cannot write to %1: %2</source>
        <translation>Невозможно записать в %1: %2</translation>
    </message>
    <message>
        <source>Select Existing Script</source>
        <translation>Выбор существующего скрипта</translation>
    </message>
    <message>
        <source>Select BSP</source>
        <translation>Выбор BSP</translation>
    </message>
    <message>
        <source>Board Support Package</source>
        <translation>Пакет поддержки платы</translation>
    </message>
</context>
<context>
    <name>KolmProjectDefinesEditor</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Add a new macro definition&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить новое определение макроса&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove selected macro definitions&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Удалить выбранные определения макросов&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Clear all macro definitions&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Удалить все определения макросов&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Import macro definitions from another project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Импортировать определения макросов из другого проекта&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Select Project</source>
        <translation>Выбор проекта</translation>
    </message>
    <message>
        <source>Import Defines</source>
        <translation>Импорт определений</translation>
    </message>
    <message>
        <source>Project could not be loaded</source>
        <translation>Не удалось загрузить проект</translation>
    </message>
</context>
<context>
    <name>KolmProjectDefinesModel</name>
    <message>
        <source>Project-wide Defines</source>
        <translation>Определения проекта</translation>
    </message>
</context>
<context>
    <name>KolmProjectEditor</name>
    <message>
        <source>Configuration</source>
        <translation>Конфигурация</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Проект</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Имя:</translation>
    </message>
    <message>
        <source>Output:</source>
        <translation>Выход:</translation>
    </message>
    <message>
        <source>Board Package:</source>
        <translation>Пакет платы:</translation>
    </message>
    <message>
        <source>Defines</source>
        <translation>Определения</translation>
    </message>
    <message>
        <source>Build</source>
        <translation>Сборка</translation>
    </message>
    <message>
        <source>Optimization</source>
        <translation>Оптимизация</translation>
    </message>
    <message>
        <source>Debug Symbols</source>
        <translation>Отладочные символы</translation>
    </message>
    <message>
        <source>Configure %1</source>
        <translation>Настройка %1</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
</context>
<context>
    <name>KolmProjectHexview</name>
    <message>
        <source>Kolm HexView</source>
        <translation>Kolm HexView</translation>
    </message>
    <message>
        <source>View:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <source>C array</source>
        <translation>Массив C</translation>
    </message>
</context>
<context>
    <name>KolmProjectWindow</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>---</source>
        <translation>---</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Save current file&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Сохранить текущий файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Add a new file to the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить в проект новый файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Add an existing file to the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить в проект существующий файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove current file from the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Убрать текущий файл из проекта&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Show board support package table&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Показать таблицу пакета поддержки платы&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Project options</source>
        <translation>Параметры проекта</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Replace:</source>
        <translation>Заменить:</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Заменить</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Заменить все</translation>
    </message>
    <message>
        <source>Schematic</source>
        <translation>Схема</translation>
    </message>
    <message>
        <source>Hexview</source>
        <translation>Hex-вид</translation>
    </message>
    <message>
        <source>Reveal</source>
        <translation>Показать</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Открытие файла</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Невозможно прочитать %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a UTF-8 text file and is shown read-only</source>
        <translation>%1 не является текстовым файлом UTF-8 и открыт только для чтения</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Сохранение изменений</translation>
    </message>
    <message>
        <source>File %1 has been modified. Save changes?</source>
        <translation>Файл %1 изменён. Сохранить изменения?</translation>
    </message>
    <message>
        <source>Cannot save project %1</source>
        <translation>Невозможно сохранить проект %1</translation>
    </message>
    <message>
        <source>Project %1 is modified. Save?</source>
        <translation>Проект %1 изменён. Сохранить?</translation>
    </message>
    <message>
        <source>Project %1 does not have an attached schematic</source>
        <translation>К проекту %1 не приложена схема</translation>
    </message>
    <message>
        <source>Project has not been built</source>
        <translation>Проект ещё не собран</translation>
    </message>
    <message>
        <source>Board Support Package</source>
        <translation>Пакет поддержки платы</translation>
    </message>
    <message>
        <source>The board support package for this project is invalid!
Package: %1
Error: %2</source>
        <translation>Пакет поддержки платы этого проекта недопустим!
Пакет: %1
Ошибка: %2</translation>
    </message>
    <message>
        <source>Compiler</source>
        <translation>Компилятор</translation>
    </message>
    <message>
        <source>No active project</source>
        <translation>Нет активного проекта</translation>
    </message>
    <message>
        <source>Project output location is not set</source>
        <translation>Не задан выходной файл проекта</translation>
    </message>
    <message>
        <source>Cannot create output directory %1</source>
        <translation>Невозможно создать выходной каталог %1</translation>
    </message>
    <message>
        <source>Invalid project define %1=%2
%3</source>
        <translation>Недопустимое определение проекта %1=%2
%3</translation>
    </message>
    <message>
        <source>Cannot write to %1</source>
        <translation>Невозможно записать в %1</translation>
    </message>
    <message>
        <source>Section `.bss&apos; will not fit in region `RAM&apos; (overflowed %1 by %2 bytes)</source>
        <translation>Секция `.bss&apos; не помещается в область `RAM&apos; (переполнение %1 на %2 байт)</translation>
    </message>
    <message>
        <source>Binary file will not fit in region `FLASH&apos; (overflowed %1 by %2 bytes)</source>
        <translation>Двоичный файл не помещается в область `FLASH&apos; (переполнение %1 на %2 байт)</translation>
    </message>
    <message>
        <source>BSS %1 (of %2) bytes</source>
        <translation>BSS %1 (из %2) байт</translation>
    </message>
    <message>
        <source>BSS %1 bytes</source>
        <translation>BSS %1 байт</translation>
    </message>
    <message>
        <source>Total %1 (of %2) bytes</source>
        <translation>Всего %1 (из %2) байт</translation>
    </message>
    <message>
        <source>Total %1 bytes</source>
        <translation>Всего %1 байт</translation>
    </message>
    <message>
        <source>Compilation finished</source>
        <translation>Компиляция завершена</translation>
    </message>
    <message>
        <source>Text %1 / Data %2 / </source>
        <translation>Код %1 / Данные %2 / </translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>New File</source>
        <translation>Новый файл</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Невозможно создать файл %1: %2</translation>
    </message>
    <message>
        <source>Cannot add file to project</source>
        <translation>Невозможно добавить файл в проект</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Добавление файлов</translation>
    </message>
    <message>
        <source>Could not add some of the files to project</source>
        <translation>Некоторые файлы не удалось добавить в проект</translation>
    </message>
    <message>
        <source>Remove File</source>
        <translation>Удаление файла</translation>
    </message>
    <message>
        <source>Remove file %1 from project %2?&lt;br&gt;The file itself will not be deleted.</source>
        <translation>Убрать файл %1 из проекта %2?&lt;br&gt;Сам файл удалён не будет.</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Настроить</translation>
    </message>
</context>
<context>
    <name>QChatLabel</name>
    <message>
        <source>pending</source>
        <translation>ожидает</translation>
    </message>
    <message>
        <source>not delivered</source>
        <translation>не доставлено</translation>
    </message>
    <message>
        <source>delivered</source>
        <translation>доставлено</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестно</translation>
    </message>
</context>
<context>
    <name>QDirEdit</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Select directory</source>
        <translation>Выбор каталога</translation>
    </message>
</context>
<context>
    <name>QFoldWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Заголовок</translation>
    </message>
</context>
<context>
    <name>QPushSwitch</name>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
</context>
<context>
    <name>QRamViewConfig</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Двоичный</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>Octal</source>
        <translation>Восьмеричный</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Десятичный</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Hexadecimal</source>
        <translation>Шестнадцатеричный</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
</context>
<context>
    <name>QRegisterTableModel</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
</context>
<context>
    <name>QRegisterViewConfig</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>Octal</source>
        <translation>Восьмеричный</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Десятичный</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>Hexadecimal</source>
        <translation>Шестнадцатеричный</translation>
    </message>
</context>
<context>
    <name>QToolLineEdit</name>
    <message>
        <source>All Files (*.*)</source>
        <translation>Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>Выбор файла</translation>
    </message>
</context>
<context>
    <name>RS485SetupDialog</name>
    <message>
        <source>Serial Port Config</source>
        <translation>Настройка последовательного порта</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>0x</source>
        <translation>0x</translation>
    </message>
    <message>
        <source>Scan All</source>
        <translation>Сканировать все</translation>
    </message>
    <message>
        <source>Connection:</source>
        <translation>Подключение:</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>Чётность:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Нечёт</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Чёт</translation>
    </message>
    <message>
        <source>Stop Bits:</source>
        <translation>Стоп-биты:</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>1.5</source>
        <translation>1.5</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
</context>
<context>
    <name>RemoteAddressWizardPage</name>
    <message>
        <source>Remote Address</source>
        <translation>Удалённый адрес</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Протокол:</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
</context>
<context>
    <name>RemoteInfoWizardPage</name>
    <message>
        <source>Remote Device</source>
        <translation>Удалённое устройство</translation>
    </message>
</context>
<context>
    <name>SvgViewer</name>
    <message>
        <source>SVG Viewer</source>
        <translation>Просмотр SVG</translation>
    </message>
</context>
<context>
    <name>ThemeDetector</name>
    <message>
        <source>Force the application to use the dark theme.</source>
        <translation>Принудительно использовать тёмную тему.</translation>
    </message>
</context>
<context>
    <name>UARTCommunicator</name>
    <message>
        <source>Invalid address %1</source>
        <translation>Недопустимый адрес %1</translation>
    </message>
    <message>
        <source>Invalid parity value %1</source>
        <translation>Недопустимое значение чётности %1</translation>
    </message>
    <message>
        <source>Invalid baudrate %1</source>
        <translation>Недопустимая скорость %1</translation>
    </message>
    <message>
        <source>Invalid stop bits value %1</source>
        <translation>Недопустимое число стоповых битов %1</translation>
    </message>
</context>
<context>
    <name>USBDeviceFilterBox</name>
    <message>
        <source>Device Filter</source>
        <translation>Фильтр устройств</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>VID:</source>
        <translation>VID:</translation>
    </message>
    <message>
        <source>0x</source>
        <translation>0x</translation>
    </message>
    <message>
        <source>PID:</source>
        <translation>PID:</translation>
    </message>
    <message>
        <source>Vendor:</source>
        <translation>Производитель:</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Продукт:</translation>
    </message>
    <message>
        <source>UART</source>
        <translation>UART</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Flow Control:</source>
        <translation>Управление потоком:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Аппаратное</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Программное</translation>
    </message>
    <message>
        <source>Blacklist:</source>
        <translation>Исключить:</translation>
    </message>
    <message>
        <source>Semicolon separated list of ignored com ports.
Whildcards (&apos;*&apos;,&apos;?&apos;) are supported.
Example:
&quot;ttyS*;ttyACM0&quot;</source>
        <translation>Список игнорируемых COM-портов через точку с запятой.
Поддерживаются шаблоны (&apos;*&apos;, &apos;?&apos;).
Пример:
&quot;ttyS*;ttyACM0&quot;</translation>
    </message>
</context>
<context>
    <name>ZUPLCConfigV1Widget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Radio Settings</source>
        <translation>Параметры радио</translation>
    </message>
    <message>
        <source>Call init at startup</source>
        <translation>Вызывать init при запуске</translation>
    </message>
    <message>
        <source>Allow Remote Configuration</source>
        <translation>Разрешить удалённую настройку</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>Мощность:</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Канал:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Частота:</translation>
    </message>
    <message>
        <source>0x</source>
        <translation>0x</translation>
    </message>
</context>
<context>
    <name>ZUPLCConfigV2Widget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>Zu16AddressEdit</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
</context>
<context>
    <name>ZuASMDebugger</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>View:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <source>Disassembly</source>
        <translation>Дизассемблер</translation>
    </message>
    <message>
        <source>Source Code</source>
        <translation>Исходный код</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>Выполнение</translation>
    </message>
    <message>
        <source>Registers</source>
        <translation>Регистры</translation>
    </message>
    <message>
        <source>Stack</source>
        <translation>Стек</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Прочее</translation>
    </message>
    <message>
        <source>Expand All</source>
        <translation>Развернуть все</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Collapse All</source>
        <translation>Свернуть все</translation>
    </message>
    <message>
        <source>Function Table</source>
        <translation>Таблица функций</translation>
    </message>
    <message>
        <source>RAM</source>
        <translation>ОЗУ</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Синхр.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Virtual Machine Flags</source>
        <translation>Флаги виртуальной машины</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Другое</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Segv</source>
        <translation>Segv</translation>
    </message>
    <message>
        <source>Halt</source>
        <translation>Останов</translation>
    </message>
    <message>
        <source>Ack</source>
        <translation>Ack</translation>
    </message>
    <message>
        <source>Crypt</source>
        <translation>Шифр</translation>
    </message>
    <message>
        <source>Interrupt Level</source>
        <translation>Уровень прерывания</translation>
    </message>
    <message>
        <source>Stack Depth</source>
        <translation>Глубина стека</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл</translation>
    </message>
</context>
<context>
    <name>ZuASMGetKey</name>
    <message>
        <source>Setup Encryption Key</source>
        <translation>Ключ шифрования</translation>
    </message>
    <message>
        <source>Key:</source>
        <translation>Ключ:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Формат:</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
</context>
<context>
    <name>ZuASMPreferences</name>
    <message>
        <source>KolmIDE Preferences</source>
        <translation>Настройки KolmIDE</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Язык:</translation>
    </message>
    <message>
        <source>Color theme:</source>
        <translation>Цветовая тема:</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Тёмная</translation>
    </message>
    <message>
        <source>Default project directory:</source>
        <translation>Каталог проектов:</translation>
    </message>
    <message>
        <source>Poll speed:</source>
        <translation>Период опроса:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Automatically display log on error</source>
        <translation>Показывать журнал при ошибке</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Устройство </translation>
    </message>
    <message>
        <source>Automatically sync the MC clock upon connection</source>
        <translation>Синхронизировать часы МК при подключении</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Эмулятор</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Debugger</source>
        <translation>Отладчик</translation>
    </message>
    <message>
        <source>Run to main when started / restarted</source>
        <translation>Выполнять до main при запуске и перезапуске</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Remote TCP Devices</source>
        <translation>Удалённые устройства TCP</translation>
    </message>
    <message>
        <source>Remote UDP Devices</source>
        <translation>Шлюзы UDP</translation>
    </message>
    <message>
        <source>Mesh port:</source>
        <translation>Порт сети:</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Редактор</translation>
    </message>
    <message>
        <source>Font:</source>
        <translation>Шрифт:</translation>
    </message>
    <message>
        <source>pt</source>
        <translation>пт</translation>
    </message>
    <message>
        <source>Tab width:</source>
        <translation>Ширина табуляции:</translation>
    </message>
    <message>
        <source>Use spaces</source>
        <translation>Пробелами</translation>
    </message>
    <message>
        <source>Theme:</source>
        <translation>Тема:</translation>
    </message>
    <message>
        <source>Inherit</source>
        <translation>Как в приложении</translation>
    </message>
    <message>
        <source>Lite</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Automatic parentheses completion</source>
        <translation>Автозакрытие скобок</translation>
    </message>
    <message>
        <source>Automatic indentation</source>
        <translation>Автоотступ</translation>
    </message>
    <message>
        <source>Word wrap</source>
        <translation>Перенос строк</translation>
    </message>
    <message>
        <source>Visualize whitespace</source>
        <translation>Показывать пробельные символы</translation>
    </message>
    <message>
        <source>Clean whitespace before compilation</source>
        <translation>Удалять лишние пробелы перед сборкой</translation>
    </message>
    <message>
        <source>Make &quot;Find&quot; tool a toggle</source>
        <translation>«Найти» как переключатель</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Смена языка</translation>
    </message>
    <message>
        <source>Language will be changed after an application restart.</source>
        <translation>Язык сменится после перезапуска приложения.</translation>
    </message>
</context>
<context>
    <name>ZuGPIOSetupHelper</name>
    <message>
        <source>GPIO Setup</source>
        <translation>Настройка GPIO</translation>
    </message>
    <message>
        <source>Pin:</source>
        <translation>Вывод:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600; color:#ef2929;&quot;&gt;* STM32 only!&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600; color:#ef2929;&quot;&gt;* Только для STM32!&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Initial Value</source>
        <translation>Начальное значение</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Низкий</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокий</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Режим</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Вход</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>ADC</source>
        <translation>АЦП</translation>
    </message>
    <message>
        <source>Interrupt</source>
        <translation>Прерывание</translation>
    </message>
    <message>
        <source>PWM Output</source>
        <translation>Выход ШИМ</translation>
    </message>
    <message>
        <source>PWM Input</source>
        <translation>Вход ШИМ</translation>
    </message>
    <message>
        <source>Output Mode</source>
        <translation>Режим выхода</translation>
    </message>
    <message>
        <source>Push-Pull</source>
        <translation>Двухтактный</translation>
    </message>
    <message>
        <source>Open-Drain</source>
        <translation>Открытый сток</translation>
    </message>
    <message>
        <source>PWM/Interrupt Type</source>
        <translation>Тип ШИМ/прерывания</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Аппаратный</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Программный</translation>
    </message>
    <message>
        <source>Pull</source>
        <translation>Подтяжка</translation>
    </message>
    <message>
        <source>No Pull</source>
        <translation>Без подтяжки</translation>
    </message>
    <message>
        <source>Pull Up</source>
        <translation>К питанию</translation>
    </message>
    <message>
        <source>Pull Down</source>
        <translation>К земле</translation>
    </message>
    <message>
        <source>ADC Units</source>
        <translation>Единицы АЦП</translation>
    </message>
    <message>
        <source>Millivolts</source>
        <translation>Милливольты</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Двоичные</translation>
    </message>
    <message>
        <source>Interrupt Trigger</source>
        <translation>Условие прерывания</translation>
    </message>
    <message>
        <source>Rising Edge</source>
        <translation>Передний фронт</translation>
    </message>
    <message>
        <source>Falling Edge</source>
        <translation>Задний фронт</translation>
    </message>
    <message>
        <source>PWM Measurement</source>
        <translation>Измерение ШИМ</translation>
    </message>
    <message>
        <source>Duty Cycle</source>
        <translation>Коэффициент заполнения</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>Software Interrupt Debounce</source>
        <translation>Программное подавление дребезга</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>PWM Output Initial Duty</source>
        <translation>Начальное заполнение ШИМ</translation>
    </message>
    <message>
        <source>%1 (at %2)</source>
        <translation>%1 (на %2)</translation>
    </message>
</context>
<context>
    <name>ZuHalHidMessenger</name>
    <message>
        <source>Not opened</source>
        <translation>Не открыт</translation>
    </message>
</context>
<context>
    <name>ZuHalTCPMessenger</name>
    <message>
        <source>KOLM-Platform</source>
        <translation>KOLM-Platform</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Эмулятор</translation>
    </message>
</context>
<context>
    <name>ZuHalUDPMessenger</name>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
</context>
<context>
    <name>ZuHalUartMessenger</name>
    <message>
        <source>Unknown Manufacturer</source>
        <translation>Неизвестный производитель</translation>
    </message>
</context>
<context>
    <name>ZuROVUrazev</name>
    <message>
        <source>KolmIDE</source>
        <translation>KolmIDE</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Конфигурация</translation>
    </message>
    <message>
        <source>This device does not have configurable parameters</source>
        <translation>У этого устройства нет настраиваемых параметров</translation>
    </message>
    <message>
        <source>KOLM Virtual Machine</source>
        <translation>Виртуальная машина KOLM</translation>
    </message>
    <message>
        <source>Send:</source>
        <translation>Отправить:</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Received:</source>
        <translation>Принято:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>Device Core</source>
        <translation>Ядро устройства</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Команда</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Параметр</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Данные</translation>
    </message>
    <message>
        <source>Ascii</source>
        <translation>Ascii</translation>
    </message>
    <message>
        <source>Hardware Abstraction Layer</source>
        <translation>Уровень абстракции оборудования</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;=&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;=&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>(as Integer)</source>
        <translation>(как целое)</translation>
    </message>
    <message>
        <source>(as Data)</source>
        <translation>(как данные)</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Получить</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Задать</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Send&amp;&amp;Receive</source>
        <translation>Отправить и принять</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>Кому:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Destination&lt;/span&gt;&lt;/p&gt;&lt;p&gt;&amp;quot;all&amp;quot; or &amp;quot;bcst&amp;quot;: broadcast to every device&lt;/p&gt;&lt;p&gt;[0;65535]: the device address, decimal or hexadecimal (0xHHHH or HHHHh)&lt;/p&gt;&lt;p&gt;To distinguish hex values from decimal ones, prepend &apos;0x&apos; or append &apos;h&apos; to the value.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Получатель&lt;/span&gt;&lt;/p&gt;&lt;p&gt;&amp;quot;all&amp;quot; или &amp;quot;bcst&amp;quot;: всем устройствам&lt;/p&gt;&lt;p&gt;[0;65535]: адрес устройства, десятичный или шестнадцатеричный (0xHHHH или HHHHh)&lt;/p&gt;&lt;p&gt;Чтобы отличить шестнадцатеричное значение от десятичного, добавьте к нему &apos;0x&apos; в начале или &apos;h&apos; в конце.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Reply to the last addressee</source>
        <translation>Ответить последнему адресату</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Send message as plain text or encrypted&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Отправлять сообщение открытым текстом или зашифрованным&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Message:</source>
        <translation>Сообщение:</translation>
    </message>
    <message>
        <source>Send message</source>
        <translation>Отправить сообщение</translation>
    </message>
    <message>
        <source>Save Chat</source>
        <translation>Сохранить чат</translation>
    </message>
    <message>
        <source>Clear Chat</source>
        <translation>Очистить чат</translation>
    </message>
    <message>
        <source>Fi&amp;le</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Проект</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Отладка</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Параметры</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Code Editor</source>
        <translation>Редактор кода</translation>
    </message>
    <message>
        <source>Views</source>
        <translation>Виды</translation>
    </message>
    <message>
        <source>Debugger</source>
        <translation>Отладчик</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Factory Reset</source>
        <translation>&amp;Сброс к заводским настройкам</translation>
    </message>
    <message>
        <source>&amp;Reboot Device</source>
        <translation>П&amp;ерезагрузить устройство</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Настройки</translation>
    </message>
    <message>
        <source>&amp;Firmware Update</source>
        <translation>&amp;Обновление прошивки</translation>
    </message>
    <message>
        <source>&amp;Key</source>
        <translation>&amp;Ключ</translation>
    </message>
    <message>
        <source>USB ModeSwitch</source>
        <translation>Переключение режима USB</translation>
    </message>
    <message>
        <source>Time Sync</source>
        <translation>Синхронизация времени</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Device connection</source>
        <translation>Подключение устройства</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>Удалённое</translation>
    </message>
    <message>
        <source>Connect to a remote device</source>
        <translation>Подключиться к удалённому устройству</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Загрузить с устройства</translation>
    </message>
    <message>
        <source>Pull script from the device</source>
        <translation>Получить скрипт с устройства</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Выгрузить</translation>
    </message>
    <message>
        <source>Push script to the device</source>
        <translation>Отправить скрипт на устройство</translation>
    </message>
    <message>
        <source>Ctrl+U</source>
        <translation>Ctrl+U</translation>
    </message>
    <message>
        <source>Launch</source>
        <translation>Запуск</translation>
    </message>
    <message>
        <source>Start/stop the script</source>
        <translation>Запустить/остановить скрипт</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Редактор</translation>
    </message>
    <message>
        <source>Device Setup</source>
        <translation>Настройка устройства</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Сообщения</translation>
    </message>
    <message>
        <source>Send messages to the device</source>
        <translation>Отправить сообщения устройству</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Чат</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>Новый проект</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>Открыть проект</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save Project</source>
        <translation>Сохранить проект</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Save Project As</source>
        <translation>Сохранить проект как</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Find &amp;&amp; Replace</source>
        <translation>Найти и заменить</translation>
    </message>
    <message>
        <source>GPIO Helper</source>
        <translation>Помощник GPIO</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Ctrl+G</translation>
    </message>
    <message>
        <source>Build</source>
        <translation>Сборка</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Старт</translation>
    </message>
    <message>
        <source>Start Debugging</source>
        <translation>Начать отладку</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Перезапуск</translation>
    </message>
    <message>
        <source>Restart Debugging</source>
        <translation>Перезапустить отладку</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Шаг</translation>
    </message>
    <message>
        <source>Execute next instruction</source>
        <translation>Выполнить следующую инструкцию</translation>
    </message>
    <message>
        <source>F11</source>
        <translation>F11</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Продолжить</translation>
    </message>
    <message>
        <source>Continue program execution</source>
        <translation>Продолжить выполнение программы</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>Interrupt</source>
        <translation>Прерывание</translation>
    </message>
    <message>
        <source>Interrupt the program execution</source>
        <translation>Прервать выполнение программы</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Step Over</source>
        <translation>Шаг с обходом</translation>
    </message>
    <message>
        <source>F10</source>
        <translation>F10</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Close project</source>
        <translation>Закрыть проект</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Журнал</translation>
    </message>
    <message>
        <source>Show/hide the log view</source>
        <translation>Показать/скрыть журнал</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>AutoStart</source>
        <translation>Автозапуск</translation>
    </message>
    <message>
        <source>Automatic script execution on/off</source>
        <translation>Автоматический запуск скрипта вкл/выкл</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Импорт</translation>
    </message>
    <message>
        <source>Import a Kolm project</source>
        <translation>Импортировать проект Kolm</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Export the current Kolm project</source>
        <translation>Экспортировать текущий проект Kolm</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>KolM Quick Reference</source>
        <translation>Краткий справочник KolM</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>Очистить журнал</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Проверить обновления</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Не подключено</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Дополнительно</translation>
    </message>
    <message>
        <source>Emulator initialization</source>
        <translation>Запуск эмулятора</translation>
    </message>
    <message>
        <source>Emulator process shutdown</source>
        <translation>Завершение процесса эмулятора</translation>
    </message>
    <message>
        <source>No available updates.</source>
        <translation>Обновлений нет.</translation>
    </message>
    <message>
        <source>You have the latest version.</source>
        <translation>У вас последняя версия.</translation>
    </message>
    <message>
        <source>The latest app version is installed.</source>
        <translation>Установлена последняя версия программы.</translation>
    </message>
    <message>
        <source>An update to version &lt;b&gt;%1&lt;/b&gt; is available&lt;br&gt;Update now?&lt;br&gt;You can download the latest version &lt;a href=&quot;%2&quot;&gt;here&lt;/a&gt;</source>
        <translation>Доступно обновление до версии &lt;b&gt;%1&lt;/b&gt;&lt;br&gt;Обновить сейчас?&lt;br&gt;Последнюю версию можно скачать &lt;a href=&quot;%2&quot;&gt;здесь&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Changelog:
</source>
        <translation>Список изменений:
</translation>
    </message>
    <message>
        <source>Kolm IDE v%1</source>
        <translation>Kolm IDE v%1</translation>
    </message>
    <message>
        <source>Made by the Kolm team at Halvane</source>
        <translation>Создано командой Kolm в Halvane</translation>
    </message>
    <message>
        <source>3rd party software:</source>
        <translation>Сторонние программы:</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Очистить меню</translation>
    </message>
    <message>
        <source>Kolm Package (*.zip)</source>
        <translation>Пакет Kolm (*.zip)</translation>
    </message>
    <message>
        <source>Export as</source>
        <translation>Экспортировать как</translation>
    </message>
    <message>
        <source>Import Project</source>
        <translation>Импорт проекта</translation>
    </message>
    <message>
        <source>Import to</source>
        <translation>Импортировать в</translation>
    </message>
    <message>
        <source>No active project to export</source>
        <translation>Нет активного проекта для экспорта</translation>
    </message>
    <message>
        <source>Export failed - cannot write to archive</source>
        <translation>Ошибка экспорта: невозможно записать в архив</translation>
    </message>
    <message>
        <source>Export failed - cannot read source file %1</source>
        <translation>Ошибка экспорта: невозможно прочитать исходный файл %1</translation>
    </message>
    <message>
        <source>Export failed - cannot write to %1</source>
        <translation>Ошибка экспорта: невозможно записать в %1</translation>
    </message>
    <message>
        <source>Exported %1</source>
        <translation>Экспортирован %1</translation>
    </message>
    <message>
        <source>Project %1 contains external files which have not been exported</source>
        <translation>Проект %1 содержит внешние файлы, которые не были экспортированы</translation>
    </message>
    <message>
        <source>Project %1 exported</source>
        <translation>Проект %1 экспортирован</translation>
    </message>
    <message>
        <source>%1 is not a Kolm package</source>
        <translation>%1 не является пакетом Kolm</translation>
    </message>
    <message>
        <source>%1 package is broken - file is not readable</source>
        <translation>Пакет %1 повреждён: файл не читается</translation>
    </message>
    <message>
        <source>package description is invalid</source>
        <translation>недопустимое описание пакета</translation>
    </message>
    <message>
        <source>Cannot create directory %1</source>
        <translation>Невозможно создать каталог %1</translation>
    </message>
    <message>
        <source>Project %1 imported, but the project file %2 does not exist</source>
        <translation>Проект %1 импортирован, но файл проекта %2 не существует</translation>
    </message>
    <message>
        <source>Successfully imported project %1</source>
        <translation>Проект %1 успешно импортирован</translation>
    </message>
    <message>
        <source>Import failed - invalid entry %1</source>
        <translation>Ошибка импорта: недопустимая запись %1</translation>
    </message>
    <message>
        <source>Import failed - cannot create directory %1</source>
        <translation>Ошибка импорта: невозможно создать каталог %1</translation>
    </message>
    <message>
        <source>Import failed - cannot write to %1: %2</source>
        <translation>Ошибка импорта: невозможно записать в %1: %2</translation>
    </message>
    <message>
        <source>Import failed (package damaged) - file %1 is not readable</source>
        <translation>Ошибка импорта (пакет повреждён): файл %1 не читается</translation>
    </message>
    <message>
        <source>Imported %1 from %2</source>
        <translation>Импортирован %1 из %2</translation>
    </message>
    <message>
        <source>Create Project</source>
        <translation>Создание проекта</translation>
    </message>
    <message>
        <source>Cannot copy %1 to %2</source>
        <translation>Невозможно скопировать %1 в %2</translation>
    </message>
    <message>
        <source>Cannot create project at %1</source>
        <translation>Невозможно создать проект %1</translation>
    </message>
    <message>
        <source>Project %1 could not be opened</source>
        <translation>Не удалось открыть проект %1</translation>
    </message>
    <message>
        <source>%1 saved</source>
        <translation>%1 сохранён</translation>
    </message>
    <message>
        <source>No active project</source>
        <translation>Нет активного проекта</translation>
    </message>
    <message>
        <source>This tool can only be used with projects based on emulator or STM32F0 board support packages</source>
        <translation>Этот инструмент работает только с проектами на пакетах поддержки плат эмулятора или STM32F0</translation>
    </message>
    <message>
        <source>Device Auxiliary Info</source>
        <translation>Дополнительные сведения об устройстве</translation>
    </message>
    <message>
        <source>Cannot start - device is busy</source>
        <translation>Невозможно запустить: устройство занято</translation>
    </message>
    <message>
        <source>Halting the virtual machine</source>
        <translation>Остановка виртуальной машины</translation>
    </message>
    <message>
        <source>Restarting the virtual machine</source>
        <translation>Перезапуск виртуальной машины</translation>
    </message>
    <message>
        <source>Communication error</source>
        <translation>Ошибка связи</translation>
    </message>
    <message>
        <source>Rebooting the device</source>
        <translation>Перезагрузка устройства</translation>
    </message>
    <message>
        <source>Switching the device connection mode</source>
        <translation>Переключение режима подключения устройства</translation>
    </message>
    <message>
        <source>Reset Device</source>
        <translation>Сброс устройства</translation>
    </message>
    <message>
        <source>Device configuration will be reset to the default state, device will be rebooted. Proceed?</source>
        <translation>Конфигурация устройства будет сброшена к состоянию по умолчанию, устройство будет перезагружено. Продолжить?</translation>
    </message>
    <message>
        <source>Resetting the configuration to the factory defaults</source>
        <translation>Сброс конфигурации к заводским настройкам</translation>
    </message>
    <message>
        <source>The device is busy. Please try again later</source>
        <translation>Устройство занято. Повторите попытку позже</translation>
    </message>
    <message>
        <source>Setting the device clock to %1 (UTC)</source>
        <translation>Установка часов устройства: %1 (UTC)</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>This device does not support firmware update</source>
        <translation>Это устройство не поддерживает обновление прошивки</translation>
    </message>
    <message>
        <source>Firmware update needs a USB or serial connection</source>
        <translation>Для обновления прошивки нужно подключение по USB или последовательному порту</translation>
    </message>
    <message>
        <source>Rebooting the device into the firmware upgrade mode</source>
        <translation>Перезагрузка устройства в режим обновления прошивки</translation>
    </message>
    <message>
        <source>The device does not have a script</source>
        <translation>На устройстве нет скрипта</translation>
    </message>
    <message>
        <source>The virtual machine has been stopped</source>
        <translation>Виртуальная машина остановлена</translation>
    </message>
    <message>
        <source>Generating config</source>
        <translation>Формирование конфигурации</translation>
    </message>
    <message>
        <source>Script execution has been started</source>
        <translation>Выполнение скрипта запущено</translation>
    </message>
    <message>
        <source>Script execution has been paused</source>
        <translation>Выполнение скрипта приостановлено</translation>
    </message>
    <message>
        <source>Write Script</source>
        <translation>Запись скрипта</translation>
    </message>
    <message>
        <source>Communication error - invalid reply</source>
        <translation>Ошибка связи: недопустимый ответ</translation>
    </message>
    <message>
        <source>Flash Error %1</source>
        <translation>Ошибка записи во флеш-память %1</translation>
    </message>
    <message>
        <source>Writing script</source>
        <translation>Запись скрипта</translation>
    </message>
    <message>
        <source>Script successfully flashed</source>
        <translation>Скрипт успешно записан</translation>
    </message>
    <message>
        <source>Device sent no configuration data</source>
        <translation>Устройство не передало данные конфигурации</translation>
    </message>
    <message>
        <source>Reading configuration</source>
        <translation>Чтение конфигурации</translation>
    </message>
    <message>
        <source>Writing configuration</source>
        <translation>Запись конфигурации</translation>
    </message>
    <message>
        <source>Configuration data has been written to the device</source>
        <translation>Данные конфигурации записаны в устройство</translation>
    </message>
    <message>
        <source>Configuration successfully flashed</source>
        <translation>Конфигурация успешно записана</translation>
    </message>
    <message>
        <source>The configuration data has been erased</source>
        <translation>Данные конфигурации стёрты</translation>
    </message>
    <message>
        <source>Cannot convert message from hex</source>
        <translation>Невозможно преобразовать сообщение из hex</translation>
    </message>
    <message>
        <source>Address %1 is invalid</source>
        <translation>Недопустимый адрес %1</translation>
    </message>
    <message>
        <source>Message is too big to be encrypted</source>
        <translation>Сообщение слишком длинное для шифрования</translation>
    </message>
    <message>
        <source>Cannot send
%1</source>
        <translation>Невозможно отправить
%1</translation>
    </message>
    <message>
        <source>Binary data</source>
        <translation>Двоичные данные</translation>
    </message>
    <message>
        <source>HTML files (*.html *.htm)</source>
        <translation>Файлы HTML (*.html *.htm)</translation>
    </message>
    <message>
        <source>Cannot save to %1: %2</source>
        <translation>Невозможно сохранить в %1: %2</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Сохранено в %1</translation>
    </message>
    <message>
        <source>Packet is too big to be encrypted</source>
        <translation>Пакет слишком длинный для шифрования</translation>
    </message>
    <message>
        <source>New Chat Message</source>
        <translation>Новое сообщение в чате</translation>
    </message>
    <message>
        <source>Invalid packet received - at least 3 bytes expected</source>
        <translation>Принят недопустимый пакет: ожидается не менее 3 байт</translation>
    </message>
    <message>
        <source>Device %1 responded to ping</source>
        <translation>Устройство %1 ответило на пинг</translation>
    </message>
    <message>
        <source>Packet submission failure</source>
        <translation>Ошибка отправки пакета</translation>
    </message>
    <message>
        <source>Cannot write the script - offset %1 exceeds 65535</source>
        <translation>Невозможно записать скрипт: смещение %1 больше 65535</translation>
    </message>
    <message>
        <source>Device IO</source>
        <translation>Обмен с устройством</translation>
    </message>
    <message>
        <source>Transmission error&lt;br&gt;%1</source>
        <translation>Ошибка передачи&lt;br&gt;%1</translation>
    </message>
    <message>
        <source>Write to the Device</source>
        <translation>Запись в устройство</translation>
    </message>
    <message>
        <source>Cannot write configuration&lt;br&gt;%1</source>
        <translation>Невозможно записать конфигурацию&lt;br&gt;%1</translation>
    </message>
    <message>
        <source>Read from the Device</source>
        <translation>Чтение из устройства</translation>
    </message>
    <message>
        <source>Cannot retrieve configuration&lt;br&gt;%1</source>
        <translation>Невозможно получить конфигурацию&lt;br&gt;%1</translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation>Неизвестное устройство</translation>
    </message>
    <message>
        <source>Connected device %1 is not known</source>
        <translation>Подключённое устройство %1 неизвестно</translation>
    </message>
    <message>
        <source>No active connection</source>
        <translation>Нет активного подключения</translation>
    </message>
    <message>
        <source>Device does not support KOLM script execution and debugging</source>
        <translation>Устройство не поддерживает выполнение и отладку скриптов KOLM</translation>
    </message>
    <message>
        <source>A project must be opened in order to start the debugger</source>
        <translation>Чтобы запустить отладчик, откройте проект</translation>
    </message>
    <message>
        <source>KOLM Debugger</source>
        <translation>Отладчик KOLM</translation>
    </message>
    <message>
        <source>A project must be compiled in order to start the debugger</source>
        <translation>Чтобы запустить отладчик, скомпилируйте проект</translation>
    </message>
    <message>
        <source>Disassembly completed</source>
        <translation>Дизассемблирование завершено</translation>
    </message>
    <message>
        <source>Disassembler</source>
        <translation>Дизассемблер</translation>
    </message>
    <message>
        <source>Disassembly process failed. Debugger will be disabled</source>
        <translation>Ошибка дизассемблирования. Отладчик будет отключён</translation>
    </message>
    <message>
        <source>emulator process has unexpectedly finished with code %1</source>
        <translation>процесс эмулятора неожиданно завершился с кодом %1</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Эмулятор</translation>
    </message>
    <message>
        <source>There was a problem starting the emulator process.</source>
        <translation>Не удалось запустить процесс эмулятора.</translation>
    </message>
    <message>
        <source>Emulator process failure</source>
        <translation>Сбой процесса эмулятора</translation>
    </message>
    <message>
        <source>Unknown device</source>
        <translation>Неизвестное устройство</translation>
    </message>
    <message>
        <source>Connection failed</source>
        <translation>Ошибка подключения</translation>
    </message>
    <message>
        <source>Connecting to %1</source>
        <translation>Подключение к %1</translation>
    </message>
    <message>
        <source>Device info query</source>
        <translation>Запрос сведений об устройстве</translation>
    </message>
    <message>
        <source>Connected to &lt;b&gt;%1&lt;/b&gt;&lt;br&gt;&lt;br&gt;</source>
        <translation>Подключено к &lt;b&gt;%1&lt;/b&gt;&lt;br&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Query the relay device</source>
        <translation>Запрос к устройству-ретранслятору</translation>
    </message>
    <message>
        <source>Get the device address</source>
        <translation>Получение адреса устройства</translation>
    </message>
    <message>
        <source>Remote Access</source>
        <translation>Удалённый доступ</translation>
    </message>
    <message>
        <source>No remote devices have been found.</source>
        <translation>Удалённые устройства не найдены.</translation>
    </message>
    <message>
        <source>Select remote device:</source>
        <translation>Выберите удалённое устройство:</translation>
    </message>
    <message>
        <source>Remote connection aborted.</source>
        <translation>Удалённое подключение прервано.</translation>
    </message>
    <message>
        <source>Requesting the device capabilities info</source>
        <translation>Запрос возможностей устройства</translation>
    </message>
    <message>
        <source>Communication Failure</source>
        <translation>Сбой связи</translation>
    </message>
    <message>
        <source>MC did not respond to an address request.
Aborting connection...</source>
        <translation>МК не ответил на запрос адреса.
Подключение прерывается...</translation>
    </message>
    <message>
        <source>MC did not provide all the required information.
Further communication may misbehave</source>
        <translation>МК передал не все необходимые сведения.
Дальнейший обмен может работать неправильно</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Ошибка связи</translation>
    </message>
    <message>
        <source>MC is not responding</source>
        <translation>МК не отвечает</translation>
    </message>
    <message>
        <source>868MHz radio module</source>
        <translation>Радиомодуль 868 МГц</translation>
    </message>
    <message>
        <source>Bluetooth module</source>
        <translation>Модуль Bluetooth</translation>
    </message>
    <message>
        <source>General purpose IO pins</source>
        <translation>Выводы ввода-вывода общего назначения</translation>
    </message>
    <message>
        <source>Analog-to-digital converter</source>
        <translation>Аналого-цифровой преобразователь</translation>
    </message>
    <message>
        <source>UART interface</source>
        <translation>Интерфейс UART</translation>
    </message>
    <message>
        <source>SPI interface</source>
        <translation>Интерфейс SPI</translation>
    </message>
    <message>
        <source>I2C interface</source>
        <translation>Интерфейс I2C</translation>
    </message>
    <message>
        <source>Device is configurable</source>
        <translation>Устройство настраивается</translation>
    </message>
    <message>
        <source>Device understands HAL commands</source>
        <translation>Устройство понимает команды HAL</translation>
    </message>
    <message>
        <source>Device can execute KOLM scripts</source>
        <translation>Устройство выполняет скрипты KOLM</translation>
    </message>
    <message>
        <source>Device is upgradable</source>
        <translation>Прошивку устройства можно обновить</translation>
    </message>
    <message>
        <source>Device supports USB mode switching</source>
        <translation>Устройство поддерживает переключение режима USB</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Прошивка</translation>
    </message>
    <message>
        <source>Device UUID</source>
        <translation>UUID устройства</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Батарея</translation>
    </message>
    <message>
        <source>: %1%</source>
        <translation>: %1%</translation>
    </message>
    <message>
        <source>Device address: %1&lt;br&gt;</source>
        <translation>Адрес устройства: %1&lt;br&gt;</translation>
    </message>
    <message>
        <source>Device address: none</source>
        <translation>Адрес устройства: нет</translation>
    </message>
    <message>
        <source>Device did not provide an address - guessing from the protocol</source>
        <translation>Устройство не сообщило адрес: он определяется по протоколу</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Device capabilities:&lt;ul&gt;</source>
        <translation>Возможности устройства:&lt;ul&gt;</translation>
    </message>
    <message>
        <source>Local device does not have a radio - remote access is not possible</source>
        <translation>У локального устройства нет радиомодуля: удалённый доступ невозможен</translation>
    </message>
    <message>
        <source>Remote access canceled</source>
        <translation>Удалённый доступ отменён</translation>
    </message>
    <message>
        <source>Querying remote devices...</source>
        <translation>Опрос удалённых устройств...</translation>
    </message>
    <message>
        <source>Remote address (or &quot;find&quot;):</source>
        <translation>Удалённый адрес (или &quot;find&quot;):</translation>
    </message>
    <message>
        <source>The device uses the configuration version %1</source>
        <translation>Устройство использует конфигурацию версии %1</translation>
    </message>
    <message>
        <source>Device Confguration</source>
        <translation type="vanished">Конфигурация устройства</translation>
    </message>
    <message>
        <source>Cannot configure this device - device config version %1 is unknown</source>
        <translation>Невозможно настроить это устройство: версия конфигурации устройства %1 неизвестна</translation>
    </message>
    <message>
        <source>Erasing flash</source>
        <translation>Стирание флеш-памяти</translation>
    </message>
    <message>
        <source>The device clock has been synchronized (time is %1)</source>
        <translation>Часы устройства синхронизированы (время %1)</translation>
    </message>
    <message>
        <source>Time synchronization failed - the device replied with an invalid packet</source>
        <translation>Ошибка синхронизации времени: устройство ответило недопустимым пакетом</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Подключено к %1</translation>
    </message>
    <message>
        <source>Cannot send HAL data - data field is empty</source>
        <translation>Невозможно отправить данные HAL: поле данных пусто</translation>
    </message>
    <message>
        <source>Cannot send message - no device</source>
        <translation>Невозможно отправить сообщение: нет устройства</translation>
    </message>
    <message>
        <source>Cannot send message - device busy</source>
        <translation>Невозможно отправить сообщение: устройство занято</translation>
    </message>
    <message>
        <source>Cannot send message - device not connected</source>
        <translation>Невозможно отправить сообщение: устройство не подключено</translation>
    </message>
    <message>
        <source>Message sent</source>
        <translation>Сообщение отправлено</translation>
    </message>
    <message>
        <source>Packet sent to MC port %1</source>
        <translation>Пакет отправлен на порт МК %1</translation>
    </message>
    <message>
        <source>Reply received</source>
        <translation>Ответ получен</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Новое сообщение</translation>
    </message>
    <message>
        <source>Received reply from the MC core</source>
        <translation>Получен ответ ядра МК</translation>
    </message>
    <message>
        <source>Invalid HAL packet - too short</source>
        <translation>Недопустимый пакет HAL: слишком короткий</translation>
    </message>
    <message>
        <source>Invalid HAL GET packet - wrong size</source>
        <translation>Недопустимый пакет HAL GET: неверный размер</translation>
    </message>
    <message>
        <source>HAL SET/WRITE returned an error</source>
        <translation>HAL SET/WRITE: ошибка</translation>
    </message>
    <message>
        <source>HAL SET/WRITE returned %1 (0x%2)</source>
        <translation>HAL SET/WRITE: результат %1 (0x%2)</translation>
    </message>
    <message>
        <source>HAL READ did not return any data</source>
        <translation>HAL READ: нет данных</translation>
    </message>
    <message>
        <source>HAL SEND&amp;RECV did not return any data</source>
        <translation>HAL SEND&amp;RECV: нет данных</translation>
    </message>
    <message>
        <source>Received MC/HAL reply from the device with the address 0x%1</source>
        <translation>Получен ответ MC/HAL от устройства с адресом 0x%1</translation>
    </message>
    <message>
        <source>MCU Family</source>
        <translation>Семейство МК</translation>
    </message>
    <message>
        <source>Radio chip</source>
        <translation>Радиочип</translation>
    </message>
    <message>
        <source>Supported Language</source>
        <translation>Поддерживаемый язык</translation>
    </message>
    <message>
        <source>Cannot setup the current device - device config is missing/unknown</source>
        <translation>Невозможно настроить текущее устройство: конфигурация устройства отсутствует или неизвестна</translation>
    </message>
    <message>
        <source>Cannot setup the current device - device config version %1 is unknown</source>
        <translation>Невозможно настроить текущее устройство: версия конфигурации устройства %1 неизвестна</translation>
    </message>
    <message>
        <source>Device Configuration</source>
        <translation>Конфигурация устройства</translation>
    </message>
    <message>
        <source>Cannot configure this device - device reports invalid id</source>
        <translation>Невозможно настроить это устройство: устройство сообщает недопустимый идентификатор</translation>
    </message>
    <message>
        <source>Cannot setup the current device - device config is corrupted
Select Tools-&gt;Reset to clear the damaged config and reboot the device</source>
        <translation>Невозможно настроить текущее устройство: конфигурация устройства повреждена
Выберите Параметры-&gt;Сброс к заводским настройкам, чтобы стереть повреждённую конфигурацию и перезагрузить устройство</translation>
    </message>
    <message>
        <source>Upload Script</source>
        <translation>Выгрузка скрипта</translation>
    </message>
    <message>
        <source>Project changed - save</source>
        <translation>Проект изменён: сохранение</translation>
    </message>
    <message>
        <source>Cannot save the project</source>
        <translation>Невозможно сохранить проект</translation>
    </message>
    <message>
        <source>The project must be compiled before uploading. Compile now?</source>
        <translation>Перед выгрузкой проект нужно скомпилировать. Скомпилировать сейчас?</translation>
    </message>
    <message>
        <source>Project compilation did not produce any output</source>
        <translation>Компиляция проекта не дала результата</translation>
    </message>
    <message>
        <source>Out of Memory</source>
        <translation>Недостаточно памяти</translation>
    </message>
    <message>
        <source>Writing Configuration</source>
        <translation>Запись конфигурации</translation>
    </message>
    <message>
        <source>Preparing script upload - request the current config</source>
        <translation>Подготовка выгрузки скрипта: запрос текущей конфигурации</translation>
    </message>
    <message>
        <source>Preparing script upload - halt the virtual machine</source>
        <translation>Подготовка выгрузки скрипта: остановка виртуальной машины</translation>
    </message>
    <message numerus="yes">
        <source>The device script occupies %n bytes</source>
        <translation>
            <numerusform>Скрипт устройства занимает %n байт</numerusform>
            <numerusform>Скрипт устройства занимает %n байта</numerusform>
            <numerusform>Скрипт устройства занимает %n байт</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Written %n bytes of script to the device</source>
        <translation>
            <numerusform>В устройство записан %n байт скрипта</numerusform>
            <numerusform>В устройство записано %n байта скрипта</numerusform>
            <numerusform>В устройство записано %n байт скрипта</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Received %n bytes of config data from the device</source>
        <translation>
            <numerusform>Получен %n байт данных конфигурации от устройства</numerusform>
            <numerusform>Получено %n байта данных конфигурации от устройства</numerusform>
            <numerusform>Получено %n байт данных конфигурации от устройства</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cannot write the script - it is larger than %n bytes</source>
        <translation>
            <numerusform>Невозможно записать скрипт: он больше %n байта</numerusform>
            <numerusform>Невозможно записать скрипт: он больше %n байт</numerusform>
            <numerusform>Невозможно записать скрипт: он больше %n байт</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cannot write config and compiled script - out of memory (overflowed by %n bytes)</source>
        <translation>
            <numerusform>Невозможно записать конфигурацию и скомпилированный скрипт: недостаточно памяти (не хватает %n байта)</numerusform>
            <numerusform>Невозможно записать конфигурацию и скомпилированный скрипт: недостаточно памяти (не хватает %n байт)</numerusform>
            <numerusform>Невозможно записать конфигурацию и скомпилированный скрипт: недостаточно памяти (не хватает %n байт)</numerusform>
        </translation>
    </message>
    <message>
        <source>Cannot check for updates: %1</source>
        <translation>Не удалось проверить обновления: %1</translation>
    </message>
    <message>
        <source>The script has ended (return value %1)</source>
        <translation>Скрипт завершён (возвращаемое значение %1)</translation>
    </message>
    <message>
        <source>Waiting for the device</source>
        <translation>Ожидание устройства</translation>
    </message>
    <message>
        <source>Exporting the project...</source>
        <translation>Экспорт проекта...</translation>
    </message>
    <message>
        <source>Importing the project...</source>
        <translation>Импорт проекта...</translation>
    </message>
    <message>
        <source>Project %1 exported to %2</source>
        <translation>Проект %1 экспортирован в %2</translation>
    </message>
    <message>
        <source>Project %1 imported to %2</source>
        <translation>Проект %1 импортирован в %2</translation>
    </message>
    <message>
        <source>Export cancelled</source>
        <translation>Экспорт отменён</translation>
    </message>
    <message>
        <source>Import cancelled</source>
        <translation>Импорт отменён</translation>
    </message>
    <message>
        <source>Import refused - %1 holds more than %2 files</source>
        <translation>Импорт отклонён: %1 содержит более %2 файлов</translation>
    </message>
    <message>
        <source>Import refused - %1 would unpack to more than %2 MiB</source>
        <translation>Импорт отклонён: %1 после распаковки займёт более %2 МиБ</translation>
    </message>
    <message>
        <source>Import refused - %1 already exists; import into an empty or new folder</source>
        <translation>Импорт отклонён: %1 уже существует; импортируйте проект в пустой или новый каталог</translation>
    </message>
    <message>
        <source>Import refused - %1 would grow more than %2 times when unpacked</source>
        <translation>Импорт отклонён: %1 при распаковке увеличится более чем в %2 раз</translation>
    </message>
</context>
<context>
    <name>hiddfu_runner</name>
    <message>
        <source>Busy</source>
        <translation>Занят</translation>
    </message>
</context>
<context>
    <name>hiddfu_usb_worker</name>
    <message>
        <source>Bulk interface not supported - fallback to the slower one</source>
        <translation>Интерфейс bulk не поддерживается: используется более медленный</translation>
    </message>
</context>
<context>
    <name>hiddfu_worker</name>
    <message>
        <source>the file is shorter than when flashing began</source>
        <translation>файл стал короче, чем в начале прошивки</translation>
    </message>
</context>
</TS>
