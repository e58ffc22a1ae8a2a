object Form2: TForm2
  Left = 192
  Top = 107
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'セットアップ'
  ClientHeight = 201
  ClientWidth = 433
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 12
  object Label1: TLabel
    Left = 8
    Top = 16
    Width = 417
    Height = 12
    Alignment = taCenter
    AutoSize = False
  end
  object GroupBox1: TGroupBox
    Left = 8
    Top = 40
    Width = 417
    Height = 73
    TabOrder = 0
    object Label2: TLabel
      Left = 16
      Top = 16
      Width = 97
      Height = 12
      AutoSize = False
      Caption = 'インストール先 :'
    end
    object Label3: TLabel
      Left = 16
      Top = 54
      Width = 385
      Height = 12
      AutoSize = False
      Caption = 'Label3'
    end
    object Edit1: TEdit
      Left = 16
      Top = 32
      Width = 305
      Height = 20
      ImeName = '日本語 (MS-IME97)'
      TabOrder = 0
      Text = 'Edit1'
    end
    object Button1: TButton
      Left = 328
      Top = 28
      Width = 73
      Height = 25
      Caption = '参照(&R)...'
      TabOrder = 1
      OnClick = Button1Click
    end
  end
  object Button2: TButton
    Left = 80
    Top = 156
    Width = 121
    Height = 33
    Caption = 'インストール開始'
    TabOrder = 2
    OnClick = Button2Click
  end
  object Button3: TButton
    Left = 224
    Top = 156
    Width = 121
    Height = 33
    Cancel = True
    Caption = 'キャンセル'
    ModalResult = 2
    TabOrder = 3
  end
  object CheckBox1: TCheckBox
    Left = 128
    Top = 128
    Width = 161
    Height = 17
    Caption = 'スタートメニューに登録'
    TabOrder = 1
  end
end
